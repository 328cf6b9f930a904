#include "reduce/filter_settings.h"

#include <algorithm>

#include "records/color.h"
#include "records/gray.h"
#include "reduce/alpha_weight.h"

namespace {

// With a lowest alpha below this, alpha mode keeps the transparent entry out of the search.
constexpr int32_t kClearMinAlpha = 100;

}  // namespace

FilterSettings FilterSettingsFor(const WholeImageRecord& image, const SaveOptionsRecord& options) {
  FilterSettings settings;
  settings.mode = image._WholeMode;
  settings.planes = image._WholePlanesIn;
  settings.pngType = UsablePngType(options.pngType);
  settings.dither = UsableDither(options.dither);
  settings.paletteColors = UsablePaletteColors(options.paletteColors);
  if (settings.mode == kWholeRgb && settings.pngType == kPngPalette) {
    settings.paletteQuality = UsablePaletteQuality(options.paletteQuality);
    if (settings.paletteQuality > 0) settings.paletteColors = 256;
  }
  settings.alphaChannel = options.alphaChannel != 0;

  // A gray image saved as Palette becomes the gray ramp, which keeps no transparency.
  const bool alphaPlane =
      HasAlphaPlane(image._WholePlanesIn) && !(image._WholeMode == kWholeGray && settings.pngType == kPngPalette);
  settings.alphaMode = alphaPlane && settings.alphaChannel;
  settings.keyColorMode = alphaPlane && !settings.alphaChannel && options.useKeyColor != 0;
  settings.transparencyDither = options.keyColorDither != 0 && (settings.alphaMode || settings.keyColorMode);
  settings.alphaWeighted =
      settings.mode == kWholeRgb && settings.pngType == kPngPalette && AlphaWeighted(image, options);

  settings.bytesPerPixel = settings.pngType == kPngRgb ? 3 : 1;
  if (settings.alphaMode && settings.pngType != kPngPalette) settings.bytesPerPixel += 1;

  const RgbColor fill = UnpackColor(static_cast<uint32_t>(options.fillColor));
  settings.fillRed = fill.red;
  settings.fillGreen = fill.green;
  settings.fillBlue = fill.blue;
  settings.fillGray = FillGrayOf(options.fillColor);
  settings.minAlpha = image.MinAlpha;
  return settings;
}

bool FillColorShows(const FilterSettings& settings, bool clearEntry) {
  const bool palette = settings.pngType == kPngPalette;
  switch (settings.mode) {
    case kWholeRgb:
      // The palette is built for, and the pixels matched as, the image over the fill (also with more planes);
      // Grayscale and RGB lay exactly four planes over it.
      if (palette) return settings.planes >= 4 && !settings.alphaMode && !settings.keyColorMode;
      return settings.planes == 4 && !settings.alphaChannel;
    case kWholeIndexed: return !palette && clearEntry && !settings.alphaMode;
    case kWholeGray: return settings.planes == 2 && (palette || !settings.alphaMode);
    default: return false;
  }
}

PaletteMatch PaletteMatchFor(const FilterSettings& settings, const AColorHistEntry* colorMap, int32_t count) {
  PaletteMatch match;
  match.colorMap = colorMap;
  match.count = count;
  const bool lastIsClear = settings.keyColorMode || (settings.alphaMode && settings.minAlpha < kClearMinAlpha);
  match.searchCount = std::max(lastIsClear ? count - 1 : count, 0);
  return match;
}
