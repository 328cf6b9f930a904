#include "reduce/refine_histogram.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "reduce/alpha_weight.h"
#include "reduce/color_sample.h"

namespace {

constexpr int kFirstSlotBits = 16;

inline uint32_t SlotOf(uint32_t color, int bits) { return (color * 2654435761u) >> (32 - bits); }

// Open addressing over a power-of-two table, kept at most half full. Colour 0 (transparent black) marks an
// empty slot: transparent pixels are never counted.
class ColorCounter {
 public:
  bool Start() {
    bits_ = kFirstSlotBits;
    table_ = PageBlock(sizeof(RefineColor) << bits_);
    return static_cast<bool>(table_);
  }

  bool Add(uint32_t color) {
    RefineColor* slots = table_.As<RefineColor>();
    const uint32_t mask = (uint32_t{1} << bits_) - 1;
    for (uint32_t slot = SlotOf(color, bits_);; slot = (slot + 1) & mask) {
      if (slots[slot].color == color) {
        ++slots[slot].count;
        return true;
      }
      if (slots[slot].count == 0) {
        slots[slot] = RefineColor{color, 1};
        return ++used_ * 2 <= (size_t{1} << bits_) || Grow();
      }
    }
  }

  // Moves the colours to the front of the table and hands it over.
  RefineHistogram Finish(int64_t pixels) {
    RefineColor* slots = table_.As<RefineColor>();
    size_t entries = 0;
    for (size_t slot = 0; slot < (size_t{1} << bits_); ++slot) {
      if (slots[slot].count != 0) slots[entries++] = slots[slot];
    }
    RefineHistogram histogram;
    histogram.slots = std::move(table_);
    histogram.entries = static_cast<int32_t>(entries);
    histogram.pixels = pixels;
    return histogram;
  }

 private:
  bool Grow() {
    const int bits = bits_ + 1;
    PageBlock larger(sizeof(RefineColor) << bits);
    if (!larger) return false;
    const RefineColor* old = table_.As<const RefineColor>();
    RefineColor* slots = larger.As<RefineColor>();
    const uint32_t mask = (uint32_t{1} << bits) - 1;
    for (size_t i = 0; i < (size_t{1} << bits_); ++i) {
      if (old[i].count == 0) continue;
      uint32_t slot = SlotOf(old[i].color, bits);
      while (slots[slot].count != 0) slot = (slot + 1) & mask;
      slots[slot] = old[i];
    }
    table_ = std::move(larger);
    bits_ = bits;
    return true;
  }

  PageBlock table_;
  int bits_ = 0;
  size_t used_ = 0;
};

}  // namespace

void ThinRefineHistogram(RefineHistogram& histogram, int32_t mostColors) {
  if (!histogram.Ready() || mostColors <= 0 || histogram.entries <= mostColors) return;
  const uint32_t step = static_cast<uint32_t>((int64_t{histogram.entries} + mostColors - 1) / mostColors);
  RefineColor* colors = histogram.slots.As<RefineColor>();
  int32_t kept = 0;
  uint32_t rare = 0;  // rare colours seen so far; the colour order is the hash table's, unrelated to the colours
  for (int32_t i = 0; i < histogram.entries; ++i) {
    RefineColor color = colors[i];
    if (color.count < step) {
      if (rare++ % step != 0) continue;
      color.count *= step;
    }
    colors[kept++] = color;
  }
  histogram.entries = kept;
}

void PremultiplyRefineColors(RefineHistogram& histogram) {
  if (!histogram.Ready()) return;
  RefineColor* colors = histogram.slots.As<RefineColor>();
  for (int32_t i = 0; i < histogram.entries; ++i) {
    const uint32_t color = colors[i].color;
    const int32_t alpha = static_cast<int32_t>(color >> 24);
    uint32_t premultiplied = static_cast<uint32_t>(alpha) << 24;
    for (int c = 0; c < 3; ++c) {
      premultiplied |= static_cast<uint32_t>(Premultiply(static_cast<int32_t>(color >> (8 * c) & 0xFF), alpha))
                       << (8 * c);
    }
    colors[i].color = premultiplied;
  }
}

RefineHistogram CountRefineColors(const WholeImageRecord& image, int32_t fillColor, bool composite,
                                  int64_t mostPixels) {
  const int32_t width = image._WholeWidth;
  const int32_t height = image._WholeHeight;
  const int32_t planes = image._WholePlanesIn;
  if (width <= 0 || height <= 0 || planes < 3 || mostPixels <= 0) return RefineHistogram{};

  int32_t sampleWidth = width;
  int32_t sampleHeight = height;
  const int64_t pixels = int64_t{width} * height;
  if (pixels > mostPixels) {
    // The same fraction of columns and of rows, so the sample keeps the image's proportions.
    const double scale = std::sqrt(static_cast<double>(mostPixels) / static_cast<double>(pixels));
    sampleWidth = std::max(1, static_cast<int32_t>(static_cast<double>(width) * scale));
    sampleHeight = std::max(1, static_cast<int32_t>(static_cast<double>(height) * scale));
  }
  // The pixel at the middle of each sample cell, in integers so every build takes the same ones.
  std::vector<size_t> columnOffsets(static_cast<size_t>(sampleWidth));
  for (int32_t x = 0; x < sampleWidth; ++x) {
    const int64_t column = (2 * int64_t{x} + 1) * width / (2 * int64_t{sampleWidth});
    columnOffsets[static_cast<size_t>(x)] = static_cast<size_t>(column) * static_cast<size_t>(planes);
  }

  ColorCounter counter;
  if (!counter.Start()) return RefineHistogram{};
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(fillColor));
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(planes);
  for (int32_t y = 0; y < sampleHeight; ++y) {
    const int64_t row = (2 * int64_t{y} + 1) * height / (2 * int64_t{sampleHeight});
    const uint8_t* rowStart = image.pixels + static_cast<size_t>(row) * rowBytes;
    for (size_t offset : columnOffsets) {
      uint8_t pixel[4];
      SamplePixel(rowStart + offset, planes, composite, fill, pixel);
      if (pixel[3] == 0) continue;
      const uint32_t color = static_cast<uint32_t>(pixel[0]) | static_cast<uint32_t>(pixel[1]) << 8 |
                             static_cast<uint32_t>(pixel[2]) << 16 | static_cast<uint32_t>(pixel[3]) << 24;
      if (!counter.Add(color)) return RefineHistogram{};
    }
  }
  return counter.Finish(int64_t{sampleWidth} * sampleHeight);
}
