#include "png/pixel_census.h"

#include <algorithm>

namespace {

// Rows between two questions whether to go on.
constexpr int32_t kRowsPerQuestion = 64;

// The distinct colours seen so far, at most PixelCensus::kMostColors of them.
class ColorSet {
 public:
  explicit ColorSet(PixelCensus& census) : census_(census) {}

  void Add(Rgba color, uint32_t uses) {
    if (census_.colorCount > PixelCensus::kMostColors) return;
    const uint32_t key = color.Packed();
    uint32_t slot = Hash(key);
    while (used_[slot]) {
      if (keys_[slot] == key) {
        census_.uses[places_[slot]] += uses;
        return;
      }
      slot = (slot + 1) & (kSlots - 1);
    }
    if (census_.colorCount == PixelCensus::kMostColors) {
      census_.colorCount = PixelCensus::kMostColors + 1;  // too many: no palette can hold them
      return;
    }
    used_[slot] = true;
    keys_[slot] = key;
    places_[slot] = static_cast<uint16_t>(census_.colorCount);
    census_.colors[census_.colorCount] = color;
    census_.uses[census_.colorCount] = uses;
    ++census_.colorCount;
  }

 private:
  static constexpr uint32_t kSlots = 1024;  // four times the most colours kept: short probes
  static uint32_t Hash(uint32_t key) { return (key * 2654435761u) >> 22; }

  PixelCensus& census_;
  bool used_[kSlots] = {};
  uint32_t keys_[kSlots] = {};
  uint16_t places_[kSlots] = {};
};

void Note(PixelCensus& census, Rgba color) {
  if (color.alpha != 255) census.opaque = false;
  if (color.alpha == 0) return;  // a free colour
  if (!color.Grey()) {
    census.grey = false;
    return;
  }
  census.greyDepth = std::max(census.greyDepth, GreyDepthOf(color.red));
}

}  // namespace

int32_t GreyDepthOf(uint8_t grey) {
  if (grey % 255 == 0) return 1;
  if (grey % 85 == 0) return 2;
  if (grey % 17 == 0) return 4;
  return 8;
}

bool TakePixelCensus(const PngWriteJob& job, const std::function<bool()>& keepGoing, PixelCensus& census) {
  census = PixelCensus{};
  const StandardPixels pixels(job);
  ColorSet colors(census);
  if (pixels.IsPalette()) {
    // Counted by index first: the colours of the few entries in use follow from them.
    uint64_t indexUses[256] = {};
    for (int32_t y = 0; y < job.height; ++y) {
      const uint8_t* row = pixels.Row(y);
      for (int32_t x = 0; x < job.width; ++x) ++indexUses[row[x]];
      if (y % kRowsPerQuestion == kRowsPerQuestion - 1 && keepGoing && !keepGoing()) return false;
    }
    for (int32_t index = 0; index < 256; ++index) {
      if (indexUses[index] == 0) continue;
      if (index >= pixels.PaletteCount()) census.indexesInPalette = false;
      const Rgba color = pixels.Entry(index);
      Note(census, color);
      colors.Add(color, static_cast<uint32_t>(std::min<uint64_t>(indexUses[index], UINT32_MAX)));
    }
    return true;
  }
  for (int32_t y = 0; y < job.height; ++y) {
    const uint8_t* row = pixels.Row(y);
    Rgba last{};
    uint32_t run = 0;
    for (int32_t x = 0; x < job.width; ++x) {
      const Rgba color = pixels.At(row, x);
      if (run > 0 && color.Packed() == last.Packed()) {
        ++run;
        continue;
      }
      if (run > 0) colors.Add(last, run);
      Note(census, color);
      last = color;
      run = 1;
    }
    if (run > 0) colors.Add(last, run);
    if (y % kRowsPerQuestion == kRowsPerQuestion - 1 && keepGoing && !keepGoing()) return false;
  }
  return true;
}
