#pragma once
// Whether two decoded files show the same picture: the Smallest file may change only the colour of pixels no one
// can see.
#include <string>

#include "tools/rgba_png.h"

namespace bench {

// Empty when both have the same size, every alpha is equal and every colour is equal where the alpha is not 0;
// otherwise the first difference in words ("sizes differ: ...", or the pixel's place and both values).
std::string FirstVisibleDifference(const RgbaImage& expected, const RgbaImage& actual);

}  // namespace bench
