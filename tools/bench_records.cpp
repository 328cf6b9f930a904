#include "tools/bench_records.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "base/platform.h"
#include "records/color_map.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/whole_image.h"

namespace bench {

bool LoadWholeImage(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    std::fprintf(stderr, "vexlorin_bench: cannot read %s: %s\n", path.c_str(), image.message);
    return false;
  }
  const bool color = (image.format & PNG_FORMAT_FLAG_COLOR) != 0;
  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = color ? (alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB) : (alpha ? PNG_FORMAT_GA : PNG_FORMAT_GRAY);
  const int32_t planes = static_cast<int32_t>(PNG_IMAGE_SAMPLE_CHANNELS(image.format));
  const size_t bytes = PNG_IMAGE_SIZE(image);
  auto* pixels = static_cast<uint8_t*>(platform::AllocatePages(bytes));
  if (pixels == nullptr || !png_image_finish_read(&image, nullptr, pixels, 0, nullptr)) {
    std::fprintf(stderr, "vexlorin_bench: cannot decode %s: %s\n", path.c_str(), image.message);
    platform::FreePages(pixels, bytes);
    return false;
  }
  WholeImage.pixels = pixels;
  WholeImage.pixelBytes = bytes;
  WholeImage._WholeWidth = static_cast<int32_t>(image.width);
  WholeImage._WholeHeight = static_cast<int32_t>(image.height);
  WholeImage._WholePlanesIn = planes;
  WholeImage.rowStride = WholeImage._WholeWidth * planes;
  WholeImage._WholeMode = color ? 3 : 1;
  WholeImage.MinAlpha = 500;
  if (alpha) {
    int32_t lowest = 255;
    for (size_t i = static_cast<size_t>(planes - 1); i < bytes; i += static_cast<size_t>(planes)) {
      lowest = std::min<int32_t>(lowest, pixels[i]);
    }
    WholeImage.MinAlpha = lowest == 255 ? 256 : lowest;
  }
  return true;
}

void ForgetPalette() {
  Palette.built = 0;
  Palette.builtCount = 256;
}

void ReleaseAll() {
  FreeReducedImagePixels();
  ReleaseColorMap();
  FreeWholeImagePixels();
}

}  // namespace bench
