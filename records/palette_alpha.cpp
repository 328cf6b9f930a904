#include "records/palette_alpha.h"

#include <algorithm>

#include "records/whole_image.h"

PaletteAlpha PaletteAlphaFor(int32_t mode, int32_t planes, bool alphaChannel, bool useKeyColor,
                             const PaletteRecord& palette) {
  const bool alphaPlane = HasAlphaPlane(planes);
  if (mode == kWholeRgb) {
    if (alphaPlane && alphaChannel) return PaletteAlpha::kEntryAlpha;
    if (alphaPlane && useKeyColor) return PaletteAlpha::kKeyed;
    return PaletteAlpha::kOpaque;
  }
  if (alphaPlane && (alphaChannel || useKeyColor)) return PaletteAlpha::kEntryAlpha;
  if (mode == kWholeIndexed && HasClearEntry(palette)) return PaletteAlpha::kKeyed;
  return PaletteAlpha::kOpaque;
}

bool HasClearEntry(const PaletteRecord& palette) {
  const int32_t count = std::clamp(palette.count, 0, 256);
  return std::any_of(palette.entries, palette.entries + count,
                     [](const PaletteEntry& entry) { return entry.alpha == 0; });
}
