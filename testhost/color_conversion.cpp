#include "testhost/color_conversion.h"

#include <algorithm>

namespace {
uint8_t Remaining(int ink, int black) { return static_cast<uint8_t>(255 - std::min(255, ink + black)); }
}  // namespace

SPErr ConvertColors8(int16_t inputSpace, int16_t outputSpace, Color8* colors, int16_t count) {
  if (count < 0 || (count > 0 && colors == nullptr)) return kSPBadParameterError;
  if (inputSpace == outputSpace) return kSPNoError;
  if (inputSpace != kColorSpaceCMYK || outputSpace != kColorSpaceRGB) return kSPUnimplementedError;
  for (int16_t i = 0; i < count; ++i) {
    uint8_t* color = colors[i];
    const int cyan = color[0], magenta = color[1], yellow = color[2], black = color[3];
    color[0] = 0;
    color[1] = Remaining(cyan, black);
    color[2] = Remaining(magenta, black);
    color[3] = Remaining(yellow, black);
  }
  return kSPNoError;
}
