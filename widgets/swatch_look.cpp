#include "widgets/swatch_look.h"

#include <algorithm>

#include "records/color.h"
#include "widgets/swatch_metrics.h"

namespace {

uint32_t DibPixel(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

}  // namespace

uint32_t SelectedFramePenColor(uint32_t color) {
  const RgbColor rgb = UnpackColor(color);
  const uint32_t red = 255u - rgb.red;
  const uint32_t green = 255u - rgb.green;
  uint32_t blue = 255u - rgb.blue;
  if (blue >= 120 && blue <= 149) blue = 255;
  return red | green << 8 | blue << 16;
}

uint32_t SwatchFrameColor(const SwatchLook& look) {
  if (look.selectedFrame) return SelectedFramePenColor(look.color);
  return look.hovered ? 0xFFFFFFu : 0u;
}

uint8_t CheckerboardGray(int x, int y, int width, int height, int frame) {
  // Too small for three blocks: one-pixel blocks, so the pattern still alternates.
  const int blockWidth = std::max(1, (width - 2 * frame) / 3);
  const int blockHeight = std::max(1, (height - 2 * frame) / 3);
  const int column = (x - frame) / blockWidth;
  const int row = (y - frame) / blockHeight;
  return column % 2 == row % 2 ? kCheckerLight : kCheckerDark;
}

float SwatchBlendFraction(float alpha, bool hovered) {
  float opacity = hovered ? alpha + static_cast<float>(kHoverAlphaBoost) : alpha;
  opacity = std::min(opacity, 255.0f);
  return static_cast<float>(static_cast<double>(opacity) / 255.0);
}

uint8_t BlendOverChecker(uint8_t channel, uint8_t checker, float fraction) {
  // The remaining fraction is rounded to single precision like the opacity; the checker part is cut to
  // an integer before the sum, and the sum is cut again.
  const float rest = static_cast<float>(1.0 - static_cast<double>(fraction));
  const int checkerPart = static_cast<int>(static_cast<double>(checker) * static_cast<double>(rest));
  const int value = static_cast<int>(static_cast<double>(channel) * static_cast<double>(fraction) + checkerPart);
  return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

bool SwatchInnerIsPatterned(const SwatchLook& look) { return look.transparentMark || look.alpha < 255.0f; }

std::vector<uint32_t> SwatchInnerPixels(const SwatchLook& look, int width, int height) {
  const SwatchRect inner = SwatchInnerRect(SwatchMetricsForDpi(look.dpi), width, height);
  const int frame = inner.left;
  const int innerWidth = inner.right - inner.left;
  const int innerHeight = inner.bottom - inner.top;
  if (innerWidth < 1 || innerHeight < 1) return {};
  std::vector<uint32_t> pixels(static_cast<size_t>(innerWidth) * static_cast<size_t>(innerHeight));
  const bool blended = look.alpha < 255.0f;
  const float fraction = SwatchBlendFraction(look.alpha, look.hovered);
  const RgbColor rgb = UnpackColor(look.color);
  for (int y = frame; y < frame + innerHeight; ++y) {
    for (int x = frame; x < frame + innerWidth; ++x) {
      uint32_t pixel = DibPixel(rgb.red, rgb.green, rgb.blue);
      if (blended) {
        const uint8_t checker = CheckerboardGray(x, y, width, height, frame);
        pixel = DibPixel(BlendOverChecker(rgb.red, checker, fraction), BlendOverChecker(rgb.green, checker, fraction),
                         BlendOverChecker(rgb.blue, checker, fraction));
      } else if (look.transparentMark) {
        const uint8_t checker = CheckerboardGray(x, y, width, height, frame);
        pixel = DibPixel(checker, checker, checker);
      }
      pixels[static_cast<size_t>(y - frame) * static_cast<size_t>(innerWidth) + static_cast<size_t>(x - frame)] = pixel;
    }
  }
  return pixels;
}

bool InsideClient(int x, int y, int width, int height) { return x >= 0 && y >= 0 && x < width && y < height; }

CellPlace PaletteCellPlace(int index, int viewWidth, int viewHeight) {
  CellPlace place;
  place.width = viewWidth / kPaletteColumns;
  place.height = viewHeight / kPaletteColumns;
  place.x = place.width * (index % kPaletteColumns);
  place.y = place.height * (index / kPaletteColumns);
  return place;
}
