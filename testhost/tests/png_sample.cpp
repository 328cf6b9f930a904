#include "testhost/tests/png_sample.h"

#include <csetjmp>
#include <cstdio>

namespace {

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
  png_write_info(png, info);
  if (sample.interlaced) png_set_interlace_handling(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

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
