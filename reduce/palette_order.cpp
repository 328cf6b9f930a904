#include "reduce/palette_order.h"

#include <algorithm>
#include <utility>

namespace {

void SwapMatchColors(AColorHistEntry& first, AColorHistEntry& second) {
  // The count field stays where it is: in a colour map it means nothing.
  std::swap(first.red, second.red);
  std::swap(first.green, second.green);
  std::swap(first.blue, second.blue);
  std::swap(first.alpha, second.alpha);
  std::swap(first.spare, second.spare);
}

int32_t SquaredDistance(const PaletteEntry& color, const AColorHistEntry& entry) {
  const int32_t red = color.red - entry.red;
  const int32_t green = color.green - entry.green;
  const int32_t blue = color.blue - entry.blue;
  const int32_t alpha = color.alpha - entry.alpha;
  return red * red + green * green + blue * blue + alpha * alpha;
}

}  // namespace

void CopyColorMapToPalette(const AColorHistEntry* colorMap, int32_t count, PaletteRecord& palette) {
  palette.count = count;
  palette.builtCount = count;
  for (int32_t i = 0; i < count; ++i) {
    PaletteEntry& entry = palette.entries[i];
    entry.red = colorMap[i].red;
    entry.green = colorMap[i].green;
    entry.blue = colorMap[i].blue;
    entry.alpha = colorMap[i].alpha;
  }
}

LockedColors LockedColorsOf(const PaletteRecord& palette) {
  LockedColors locks;
  for (const PaletteEntry& entry : palette.entries) {
    if (entry.mark != 0) locks.entries[locks.count++] = entry;
  }
  return locks;
}

void PlaceLockedColors(const LockedColors& locks, PaletteRecord& palette, AColorHistEntry* colorMap, int32_t slots) {
  for (PaletteEntry& entry : palette.entries) entry.mark = 0;
  slots = std::clamp(slots, 0, 256);
  bool held[256] = {};
  for (int32_t lock = 0; lock < locks.count && lock < slots; ++lock) {
    const PaletteEntry& color = locks.entries[lock];
    int32_t nearest = -1;
    int32_t nearestDistance = 0;
    for (int32_t j = 0; j < slots; ++j) {
      if (held[j]) continue;
      const int32_t distance = SquaredDistance(color, colorMap[j]);
      if (nearest < 0 || distance < nearestDistance) {
        nearest = j;
        nearestDistance = distance;
      }
    }
    held[nearest] = true;
    palette.entries[nearest] = PaletteEntry{color.red, color.green, color.blue, color.alpha, 1};
    AColorHistEntry& match = colorMap[nearest];
    match.red = color.red;
    match.green = color.green;
    match.blue = color.blue;
    match.alpha = color.alpha;
  }
}

void SortByAlpha(PaletteRecord& palette, AColorHistEntry* colorMap, int32_t count) {
  // Bubble sort with a strict comparison: entries of equal alpha keep their order.
  for (int32_t pass = count - 1; pass >= 1; --pass) {
    for (int32_t j = 0; j < pass; ++j) {
      if (palette.entries[j].alpha < palette.entries[j + 1].alpha) {
        std::swap(palette.entries[j], palette.entries[j + 1]);
        SwapMatchColors(colorMap[j], colorMap[j + 1]);
      }
    }
  }
}

void FixupEntries(PaletteRecord& palette, ColorMapTable& colorMap, bool keepsTransparency) {
  const int32_t count = palette.count;
  if (count < 1 || count > 256 || count > colorMap.size()) return;

  int32_t last = count - 1;  // the highest entry in use that a marked entry may replace
  if (keepsTransparency) {
    palette.entries[count - 1].alpha = 0;
    colorMap[count - 1].alpha = 0;
    last = count - 2;  // the transparent entry stays where it is
  }
  if (last < 0 || count >= palette.builtCount) return;

  // Marked entries that fell out of range (fewer colours asked for) take the place of unmarked ones in range.
  for (int32_t i = count; i < palette.builtCount && i < 256 && i < colorMap.size(); ++i) {
    if (!palette.entries[i].mark) continue;
    int32_t target = last;
    while (target >= 0 && palette.entries[target].mark) --target;
    if (target < 0) return;
    std::swap(palette.entries[i], palette.entries[target]);
    SwapMatchColors(colorMap[i], colorMap[target]);
  }
}
