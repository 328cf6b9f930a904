#include "reduce/box_cut.h"

#include <algorithm>
#include <memory>
#include <new>

#include "reduce/color_hash.h"

namespace {

constexpr int32_t kSampleColorLimit = 32767;
constexpr int32_t kTopLevel = 255;

struct ColorBox {
  int32_t first;   // index of the box's first histogram entry
  int32_t colors;  // histogram entries in the box
  int32_t sum;     // pixels in the box
};

uint8_t Channel(const AColorHistEntry& entry, int channel) {
  switch (channel) {
    case 0: return entry.red;
    case 1: return entry.green;
    case 2: return entry.blue;
    default: return entry.alpha;
  }
}

// Red when its range is at least the others', then green over blue: ties favour the earlier channel.
int WidestChannel(const AColorHistEntry* entries, int32_t colors) {
  int32_t low[3] = {255, 255, 255};
  int32_t high[3] = {0, 0, 0};
  for (int32_t i = 0; i < colors; ++i) {
    for (int channel = 0; channel < 3; ++channel) {
      low[channel] = std::min<int32_t>(low[channel], Channel(entries[i], channel));
      high[channel] = std::max<int32_t>(high[channel], Channel(entries[i], channel));
    }
  }
  const int32_t red = high[0] - low[0];
  const int32_t green = high[1] - low[1];
  const int32_t blue = high[2] - low[2];
  if (red >= green && red >= blue) return 0;
  return green >= blue ? 1 : 2;
}

// Splits the box at its pixel median; returns the number of colours the box keeps.
int32_t MedianByPixels(const AColorHistEntry* entries, int32_t colors, int32_t boxSum, int32_t& lowerSum) {
  lowerSum = entries[0].value;
  const int32_t half = boxSum / 2;
  int32_t i = 1;
  while (i < colors - 1 && lowerSum < half) {
    lowerSum += entries[i].value;
    ++i;
  }
  return i;
}

// Pixel-weighted mean of the box's colours, truncated and held to maxval.
void AverageBox(const AColorHistEntry* entries, const ColorBox& box, int32_t maxval, AColorHistEntry& color) {
  int64_t sums[4] = {0, 0, 0, 0};
  int64_t pixels = 0;
  for (int32_t i = box.first; i < box.first + box.colors; ++i) {
    for (int channel = 0; channel < 4; ++channel)
      sums[channel] += int64_t{Channel(entries[i], channel)} * entries[i].value;
    pixels += entries[i].value;
  }
  if (pixels == 0) return;
  uint8_t* targets[4] = {&color.red, &color.green, &color.blue, &color.alpha};
  for (int channel = 0; channel < 4; ++channel) {
    *targets[channel] = static_cast<uint8_t>(std::min<int64_t>(sums[channel] / pixels, maxval));
  }
}

// Colours of levels 0..maxval back to 0..255, rounded.
void ScaleToTopLevel(AColorHistEntry* colorMap, int32_t count, int32_t maxval) {
  for (int32_t i = 0; i < count; ++i) {
    AColorHistEntry& color = colorMap[i];
    for (uint8_t* channel : {&color.red, &color.green, &color.blue, &color.alpha}) {
      *channel = static_cast<uint8_t>((*channel * kTopLevel + maxval / 2) / maxval);
    }
  }
}

}  // namespace

ColorMapTable SplitColorBoxes(AColorHistEntry* histogram, int32_t colors, int32_t pixelTotal, int32_t maxval,
                              int32_t wanted) {
  if (wanted < 1) return ColorMapTable();
  std::unique_ptr<ColorBox[]> boxes(new (std::nothrow) ColorBox[wanted]);
  // Zero-filled: every channel starts at 0 and the spare byte stays 0.
  ColorMapTable colorMap(wanted + 1);
  if (boxes == nullptr || !colorMap) return ColorMapTable();

  // The total includes sample pixels the count skipped for alpha 0, so the first box's sum may exceed its counts.
  boxes[0] = ColorBox{0, colors, pixelTotal};
  int32_t boxCount = 1;
  while (boxCount < wanted) {
    ColorBox* box = std::find_if(boxes.get(), boxes.get() + boxCount,
                                 [](const ColorBox& candidate) { return candidate.colors >= 2; });
    if (box == boxes.get() + boxCount) break;
    AColorHistEntry* entries = histogram + box->first;

    const int channel = WidestChannel(entries, box->colors);
    // Stable: entries with equal keys keep their order from the histogram (and from earlier cuts), the same on
    // every build.
    std::stable_sort(entries, entries + box->colors,
                     [channel](const AColorHistEntry& left, const AColorHistEntry& right) {
                       return Channel(left, channel) < Channel(right, channel);
                     });

    int32_t lowerSum = 0;
    const int32_t kept = MedianByPixels(entries, box->colors, box->sum, lowerSum);
    boxes[boxCount] = ColorBox{box->first + kept, box->colors - kept, box->sum - lowerSum};
    box->colors = kept;
    box->sum = lowerSum;
    ++boxCount;

    // Stable as well: boxes of equal sum keep their array order, so an older box stays ahead of a newer one.
    std::stable_sort(boxes.get(), boxes.get() + boxCount,
                     [](const ColorBox& left, const ColorBox& right) { return left.sum > right.sum; });
  }

  for (int32_t k = 0; k < boxCount; ++k) AverageBox(histogram, boxes[k], maxval, colorMap[k]);
  return colorMap;
}

ColorMapTable CutSampleColors(ColorSample& sample, int32_t wanted, int32_t* count) {
  const size_t pixelCount = sample.PixelCount();
  int32_t maxval = kTopLevel;
  int32_t colors = 0;
  AColorHistEntry* histogram =
      pam_computeacolorhist(sample.records.data(), sample.width, sample.height, kSampleColorLimit, &colors);
  while (histogram == nullptr) {
    // Coarsening to one level would drop every pixel; a count that still fails is short of memory.
    const int32_t newMaxval = maxval / 2;
    if (newMaxval == 0) return ColorMapTable();
    CoarsenSample(sample.records.data(), pixelCount, maxval, newMaxval);
    maxval = newMaxval;
    histogram = pam_computeacolorhist(sample.records.data(), sample.width, sample.height, kSampleColorLimit, &colors);
  }

  *count = std::min(colors, wanted);
  ColorMapTable colorMap;
  if (*count > 0) {
    colorMap = SplitColorBoxes(histogram, colors, static_cast<int32_t>(pixelCount), maxval, *count);
  } else {
    // Every sample pixel was transparent: one transparent entry keeps the palette usable.
    colorMap = ColorMapTable(2);
    *count = 1;
  }
  pam_freeacolorhist(histogram);
  if (colorMap && maxval < kTopLevel) ScaleToTopLevel(colorMap.data(), *count, maxval);
  return colorMap;
}
