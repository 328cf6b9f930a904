#include "testhost/tests/png_sample.h"

#include <csetjmp>
#include <cstdio>

namespace {

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void SetXmp(png_structp png, png_infop info, const PngSample& sample) {
  png_text text{};
  text.compression = sample.xmpCompressed ? PNG_ITXT_COMPRESSION_zTXt : PNG_ITXT_COMPRESSION_NONE;
  text.key = const_cast<png_charp>("XML:com.adobe.xmp");
  text.text = const_cast<png_charp>(sample.xmp.c_str());
  text.itxt_length = sample.xmp.size();
  png_set_text(png, info, &text, 1);
}

// Plain data only in the frame that holds the setjmp.
bool Write(png_structp png, png_infop info, FILE* file, const PngSample& sample, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, sample.width, sample.height, sample.bitDepth, sample.colorType,
               sample.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!sample.palette.empty()) {
    png_set_PLTE(png, info, sample.palette.data(), static_cast<int>(sample.palette.size()));
  }
  if (!sample.paletteAlpha.empty()) {
    png_set_tRNS(png, info, sample.paletteAlpha.data(), static_cast<int>(sample.paletteAlpha.size()), nullptr);
  }
  if (sample.colorKey) png_set_tRNS(png, info, nullptr, 0, &sample.key);
  if (!sample.iccProfile.empty()) {
    png_set_iCCP(png, info, "test", PNG_COMPRESSION_TYPE_BASE, sample.iccProfile.data(),
                 static_cast<png_uint_32>(sample.iccProfile.size()));
  }
  if (sample.srgb) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  if (sample.phys) png_set_pHYs(png, info, sample.physX, sample.physY, sample.physUnit);
  if (!sample.xmp.empty() && !sample.xmpAfterImage) SetXmp(png, info, sample);
  png_write_info(png, info);
  if (sample.interlaced) png_set_interlace_handling(png);
  png_write_image(png, rows);
  if (!sample.xmp.empty() && sample.xmpAfterImage) SetXmp(png, info, sample);
  png_write_end(png, info);
  return true;
}

}  // namespace

std::vector<uint8_t> SmallRgbProfile(uint32_t mark) {
  // libpng's reader drops an iCCP chunk under 92 bytes, so the tag's text is long and hardly compressible.
  constexpr uint32_t kTextBytes = 88;
  constexpr uint32_t kSize = 144 + 8 + kTextBytes;
  std::vector<uint8_t> profile(kSize, 0);
  PutBigEndian(profile, 0, kSize);
  PutBigEndian(profile, 8, 0x02100000);   // version 2.1
  PutBigEndian(profile, 12, 0x6D6E7472);  // 'mntr'
  PutBigEndian(profile, 16, 0x52474220);  // 'RGB '
  PutBigEndian(profile, 20, 0x58595A20);  // 'XYZ '
  PutBigEndian(profile, 36, 0x61637370);  // 'acsp'
  PutBigEndian(profile, 68, 0x0000F6D6);  // D50 illuminant
  PutBigEndian(profile, 72, 0x00010000);
  PutBigEndian(profile, 76, 0x0000D32D);
  PutBigEndian(profile, 80, mark);         // creator
  PutBigEndian(profile, 128, 1);           // one tag: a copyright text at 144
  PutBigEndian(profile, 132, 0x63707274);  // 'cprt'
  PutBigEndian(profile, 136, 144);
  PutBigEndian(profile, 140, 8 + kTextBytes);
  PutBigEndian(profile, 144, 0x74657874);  // 'text'
  for (uint32_t i = 0; i < kTextBytes; ++i) profile[152 + i] = static_cast<uint8_t>(0x21 + (i * 37 + mark) % 90);
  return profile;
}

bool WritePngSample(const std::string& path, const PngSample& sample) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows;
  for (const std::vector<uint8_t>& row : sample.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  const bool written = info != nullptr && Write(png, info, file, sample, rows.data());
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && written;
}
