#include "ui/save_options.h"

namespace {

constexpr int32_t kFewestPaletteColors = 2;
constexpr int32_t kMostPaletteColors = 256;

}  // namespace

SaveOptionsRecord SaveOptions;

void ResetSaveOptions() { SaveOptions = SaveOptionsRecord{}; }

int32_t UsablePaletteColors(int32_t requested) {
  int32_t colors = kFewestPaletteColors;
  while (colors < requested && colors < kMostPaletteColors) colors *= 2;
  return colors;
}

int8_t UsablePngType(int8_t requested) {
  return requested >= kPngGrayscale && requested <= kPngRgb ? requested : int8_t{kPngRgb};
}

uint8_t UsableDither(uint8_t requested) { return requested <= kNoise ? requested : uint8_t{kDiffusion}; }

SaveOptionsRecord UsableOptions(const SaveOptionsRecord& options) {
  SaveOptionsRecord usable = options;
  usable.paletteColors = UsablePaletteColors(options.paletteColors);
  usable.pngType = UsablePngType(options.pngType);
  usable.dither = UsableDither(options.dither);
  return usable;
}
