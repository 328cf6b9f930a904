#include "testhost/png_document_properties.h"

#include <cstdint>
#include <cstring>

namespace {

// Pixels per metre as Fixed 16.16 pixels per inch (0.0254 m), rounded; the largest Fixed when it does not fit.
int32_t FixedPixelsPerInch(png_uint_32 pixelsPerMetre) {
  const uint64_t fixed = (uint64_t{pixelsPerMetre} * 254 * 65536 + 5000) / 10000;
  return fixed > INT32_MAX ? INT32_MAX : static_cast<int32_t>(fixed);
}

void ReadResolution(png_structp png, png_infop info, HostImage* image) {
  png_uint_32 x = 0;
  png_uint_32 y = 0;
  int unit = PNG_RESOLUTION_UNKNOWN;
  if (png_get_pHYs(png, info, &x, &y, &unit) == 0 || unit != PNG_RESOLUTION_METER || x == 0 || y == 0) return;
  image->horizontalResolution = FixedPixelsPerInch(x);
  image->verticalResolution = FixedPixelsPerInch(y);
}

void ReadProfile(png_structp png, png_infop info, HostImage* image) {
  png_charp name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 length = 0;
  if (png_get_iCCP(png, info, &name, &compression, &profile, &length) != 0 && profile != nullptr) {
    image->iccProfile.assign(profile, profile + length);
  }
  image->declaresSrgb = png_get_valid(png, info, PNG_INFO_sRGB) != 0;
}

void ReadXmp(png_structp png, png_infop info, HostImage* image) {
  png_textp texts = nullptr;
  const int count = png_get_text(png, info, &texts, nullptr);
  for (int i = 0; i < count; ++i) {
    const png_text& text = texts[i];
    // Only iTXt holds XMP; a tEXt or zTXt of the same keyword is not a packet.
    const bool international =
        text.compression == PNG_ITXT_COMPRESSION_NONE || text.compression == PNG_ITXT_COMPRESSION_zTXt;
    if (international && std::strcmp(text.key, kXmpKeyword) == 0 && text.text != nullptr) {
      image->xmp.assign(text.text, text.itxt_length);
      return;
    }
  }
}

}  // namespace

void ReadPngDocumentProperties(png_structp png, png_infop info, HostImage* image) {
  ReadResolution(png, info, image);
  ReadProfile(png, info, image);
  ReadXmp(png, info, image);
}
