#include "tools/same_picture.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace bench {

namespace {

bool SameVisiblePixel(const uint8_t* a, const uint8_t* b) {
  if (a[3] != b[3]) return false;
  return a[3] == 0 || (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]);
}

}  // namespace

std::string FirstVisibleDifference(const RgbaImage& expected, const RgbaImage& actual) {
  char text[160];
  if (expected.width != actual.width || expected.height != actual.height) {
    std::snprintf(text, sizeof text, "sizes differ: %d x %d against %d x %d", expected.width, expected.height,
                  actual.width, actual.height);
    return text;
  }
  const size_t pixels = static_cast<size_t>(expected.width) * expected.height;
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* a = &expected.pixels[i * 4];
    const uint8_t* b = &actual.pixels[i * 4];
    if (SameVisiblePixel(a, b)) continue;
    std::snprintf(text, sizeof text, "pixel (%zu, %zu) is RGBA %d,%d,%d,%d, expected %d,%d,%d,%d",
                  i % static_cast<size_t>(expected.width), i / static_cast<size_t>(expected.width), b[0], b[1], b[2],
                  b[3], a[0], a[1], a[2], a[3]);
    return text;
  }
  return {};
}

}  // namespace bench
