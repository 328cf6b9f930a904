#include "tools/rgba_png.h"

#include <png.h>

#include <cstdio>

namespace bench {

std::optional<RgbaImage> DecodeRgba(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    std::fprintf(stderr, "vexlorin_bench: cannot read %s: %s\n", path.c_str(), image.message);
    return std::nullopt;
  }
  RgbaImage decoded;
  decoded.width = static_cast<int32_t>(image.width);
  decoded.height = static_cast<int32_t>(image.height);
  decoded.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  // 8-bit output is neither premultiplied nor linear: files in sRGB (without gAMA, or pngquant's gAMA 1/2.2 with
  // sRGB) come out byte for byte.
  image.format = PNG_FORMAT_RGBA;
  decoded.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, decoded.pixels.data(), 0, nullptr)) {
    std::fprintf(stderr, "vexlorin_bench: cannot decode %s: %s\n", path.c_str(), image.message);
    return std::nullopt;
  }
  return decoded;
}

}  // namespace bench
