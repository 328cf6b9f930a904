#include "reduce/median_cut.h"

#include <algorithm>
#include <new>
#include <utility>

#include "host/debug_log.h"
#include "host/platform.h"
#include "reduce/palette.h"
#include "reduce/whole_image.h"
#include "ui/save_options.h"

AColorHistEntry* ColorMap = nullptr;

void ReleaseColorMap() {
  delete[] ColorMap;
  ColorMap = nullptr;
}

namespace {

constexpr int32_t kSampleSide = 500;
constexpr int32_t kSampleColorLimit = 32767;
constexpr int32_t kSampleRecordBytes = 5;  // red, green, blue, alpha, spare
constexpr int32_t kTopLevel = 255;

struct ColorBox {
  int32_t first;   // index of the box's first histogram entry
  int32_t colors;  // histogram entries in the box
  int32_t sum;     // pixels in the box
};

// The sample pixels, page-granular and zero-filled, released with the builder's return.
class SamplePixels {
 public:
  explicit SamplePixels(size_t bytes) : bytes_(bytes), pixels_(static_cast<uint8_t*>(platform::AllocatePages(bytes))) {}
  ~SamplePixels() { platform::FreePages(pixels_, bytes_); }
  SamplePixels(const SamplePixels&) = delete;
  SamplePixels& operator=(const SamplePixels&) = delete;
  uint8_t* get() const { return pixels_; }

 private:
  size_t bytes_;
  uint8_t* pixels_;
};

// Channel C over fill channel F with coverage fractions a and b, both single precision; the sum in double.
uint8_t Composite(uint8_t channel, float a, uint8_t fill, float b) {
  return static_cast<uint8_t>(static_cast<int32_t>(static_cast<double>(channel) * static_cast<double>(a) +
                                                   static_cast<double>(fill) * static_cast<double>(b)));
}

// Nearest-pixel decimation of WholeImage into sampleWidth x sampleHeight 5-byte records.
void TakeSample(uint8_t* sample, int32_t sampleWidth, int32_t sampleHeight, bool composite) {
  const int32_t width = WholeImage._WholeWidth;
  const int32_t height = WholeImage._WholeHeight;
  const int32_t planes = WholeImage._WholePlanesIn;
  const float xStep = static_cast<float>(static_cast<double>(width) / static_cast<double>(sampleWidth));
  const float yStep = static_cast<float>(static_cast<double>(height) / static_cast<double>(sampleHeight));
  const uint8_t fillRed = static_cast<uint8_t>(SaveOptions.fillColor & 0xFF);
  const uint8_t fillGreen = static_cast<uint8_t>((SaveOptions.fillColor >> 8) & 0xFF);
  const uint8_t fillBlue = static_cast<uint8_t>((SaveOptions.fillColor >> 16) & 0xFF);

  uint8_t* out = sample;
  for (int32_t y = 0; y < sampleHeight; ++y) {
    const int32_t row = std::min(static_cast<int32_t>(static_cast<double>(y) * static_cast<double>(yStep)), height - 1);
    for (int32_t x = 0; x < sampleWidth; ++x, out += kSampleRecordBytes) {
      const int32_t column =
          std::min(static_cast<int32_t>(static_cast<double>(x) * static_cast<double>(xStep)), width - 1);
      const uint8_t* in =
          WholeImage.pixels + (static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column)) *
                                  static_cast<size_t>(planes);
      if (composite) {
        const float a = static_cast<float>(static_cast<double>(in[3]) / 255.0);
        const float b = static_cast<float>(1.0 - static_cast<double>(a));
        out[0] = Composite(in[0], a, fillRed, b);
        out[1] = Composite(in[1], a, fillGreen, b);
        out[2] = Composite(in[2], a, fillBlue, b);
        out[3] = 255;
      } else {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = planes > 3 ? in[3] : 255;
      }
    }
  }
}

// Maps every channel of the sample from levels 0..maxval to 0..newMaxval, as the count needs fewer colours.
void CoarsenSample(uint8_t* sample, size_t pixelCount, int32_t maxval, int32_t newMaxval) {
  for (size_t i = 0; i < pixelCount; ++i) {
    uint8_t* pixel = sample + i * kSampleRecordBytes;
    for (int channel = 0; channel < 4; ++channel) {
      pixel[channel] = static_cast<uint8_t>((pixel[channel] * newMaxval + newMaxval) / maxval);
    }
  }
}

void SwapMatchColors(AColorHistEntry& first, AColorHistEntry& second) {
  // The count field stays where it is: in a colour map it means nothing.
  std::swap(first.red, second.red);
  std::swap(first.green, second.green);
  std::swap(first.blue, second.blue);
  std::swap(first.alpha, second.alpha);
  std::swap(first.spare, second.spare);
}

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
    for (int channel = 0; channel < 4; ++channel) sums[channel] += int64_t{Channel(entries[i], channel)} * entries[i].value;
    pixels += entries[i].value;
  }
  if (pixels == 0) return;
  uint8_t* targets[4] = {&color.red, &color.green, &color.blue, &color.alpha};
  for (int channel = 0; channel < 4; ++channel) {
    *targets[channel] = static_cast<uint8_t>(std::min<int64_t>(sums[channel] / pixels, maxval));
  }
}

// A one-entry map, transparent black, for a sample in which no pixel counts.
AColorHistEntry* EmptySampleColorMap() { return new (std::nothrow) AColorHistEntry[2](); }

}  // namespace

AColorHistEntry* SplitColorBoxes(AColorHistEntry* histogram, int32_t colors, int32_t pixelTotal, int32_t maxval,
                                 int32_t wanted) {
  if (wanted < 1) return nullptr;
  ColorBox* boxes = new (std::nothrow) ColorBox[wanted];
  // Zero-initialised: every channel starts at 0 and the spare byte stays 0.
  AColorHistEntry* colorMap = new (std::nothrow) AColorHistEntry[static_cast<size_t>(wanted) + 1]();
  if (boxes == nullptr || colorMap == nullptr) {
    delete[] boxes;
    delete[] colorMap;
    return nullptr;
  }

  // The total includes sample pixels the count skipped for alpha 0, so the first box's sum may exceed its counts.
  boxes[0] = ColorBox{0, colors, pixelTotal};
  int32_t boxCount = 1;
  while (boxCount < wanted) {
    ColorBox* box = std::find_if(boxes, boxes + boxCount, [](const ColorBox& candidate) { return candidate.colors >= 2; });
    if (box == boxes + boxCount) break;
    AColorHistEntry* entries = histogram + box->first;

    const int channel = WidestChannel(entries, box->colors);
    // Stable: entries with equal keys keep their order from the histogram (and from earlier cuts), the same on
    // every build.
    std::stable_sort(entries, entries + box->colors, [channel](const AColorHistEntry& left, const AColorHistEntry& right) {
      return Channel(left, channel) < Channel(right, channel);
    });

    int32_t lowerSum = 0;
    const int32_t kept = MedianByPixels(entries, box->colors, box->sum, lowerSum);
    boxes[boxCount] = ColorBox{box->first + kept, box->colors - kept, box->sum - lowerSum};
    box->colors = kept;
    box->sum = lowerSum;
    ++boxCount;

    // Stable as well: boxes of equal sum keep their array order, so an older box stays ahead of a newer one.
    std::stable_sort(boxes, boxes + boxCount, [](const ColorBox& left, const ColorBox& right) { return left.sum > right.sum; });
  }

  for (int32_t k = 0; k < boxCount; ++k) AverageBox(histogram, boxes[k], maxval, colorMap[k]);
  delete[] boxes;
  return colorMap;
}

AColorHistEntry* CreateColorPalette() {
  DebugLog("CreateColorPalette BEGIN =====>");
  if (WholeImage._WholePlanesIn < 3) {
    DebugLog("_WholePlanesIn<3");
    return nullptr;
  }
  if (WholeImage._WholeWidth <= 0 || WholeImage._WholeHeight <= 0) {
    DebugLog("_WholeWidth=0");
    return nullptr;
  }

  const int32_t sampleWidth = std::min(WholeImage._WholeWidth, kSampleSide);
  const int32_t sampleHeight = std::min(WholeImage._WholeHeight, kSampleSide);
  const size_t pixelCount = static_cast<size_t>(sampleWidth) * static_cast<size_t>(sampleHeight);
  SamplePixels sample(pixelCount * kSampleRecordBytes);
  if (sample.get() == nullptr) {
    DebugLog("cannot allocate apixels");
    return nullptr;
  }

  // Without an alpha channel or key colour in the output, the palette is built for the image as it will be
  // seen: over the fill colour.
  const bool composite = WholeImage._WholePlanesIn > 3 && !SaveOptions.alphaChannel && !SaveOptions.useKeyColor;
  TakeSample(sample.get(), sampleWidth, sampleHeight, composite);

  DebugLog("Efter create 500x500");
  int32_t maxval = kTopLevel;
  int32_t colors = 0;
  AColorHistEntry* histogram =
      pam_computeacolorhist(sample.get(), sampleWidth, sampleHeight, kSampleColorLimit, &colors);
  while (histogram == nullptr) {
    // Coarsening to one level would drop every pixel; a count that still fails is short of memory.
    const int32_t newMaxval = maxval / 2;
    if (newMaxval == 0) return nullptr;
    CoarsenSample(sample.get(), pixelCount, maxval, newMaxval);
    maxval = newMaxval;
    histogram = pam_computeacolorhist(sample.get(), sampleWidth, sampleHeight, kSampleColorLimit, &colors);
  }

  int32_t count = std::min(colors, UsablePaletteColors(SaveOptions.paletteColors));
  AColorHistEntry* colorMap = nullptr;
  if (count > 0) {
    colorMap = SplitColorBoxes(histogram, colors, static_cast<int32_t>(pixelCount), maxval, count);
  } else {
    // Every sample pixel was transparent: one transparent entry keeps the palette usable.
    colorMap = EmptySampleColorMap();
    count = 1;
  }
  pam_freeacolorhist(histogram);
  if (colorMap == nullptr) return nullptr;

  if (maxval < kTopLevel) {
    for (int32_t i = 0; i < count; ++i) {
      AColorHistEntry& color = colorMap[i];
      for (uint8_t* channel : {&color.red, &color.green, &color.blue, &color.alpha}) {
        *channel = static_cast<uint8_t>((*channel * kTopLevel + maxval / 2) / maxval);
      }
    }
  }

  DebugLog("Copy Palette");
  Palette.count = count;
  Palette.builtCount = count;
  for (int32_t i = 0; i < count; ++i) {
    PaletteEntry& entry = Palette.entries[i];
    entry.red = colorMap[i].red;
    entry.green = colorMap[i].green;
    entry.blue = colorMap[i].blue;
    entry.alpha = colorMap[i].alpha;
  }

  if (SaveOptions.alphaChannel) {
    // The last entry shows the image's lowest alpha; its matching colour keeps the averaged alpha.
    Palette.entries[count - 1].alpha = static_cast<uint8_t>(WholeImage.MinAlpha % 256);
    SortPaletteByAlpha(colorMap, count);
  }

  DebugLog("CreateColorPalette END <=====");
  return colorMap;
}

void SortPaletteByAlpha(AColorHistEntry* colorMap, int32_t count) {
  // Bubble sort with a strict comparison: entries of equal alpha keep their order.
  for (int32_t pass = count - 1; pass >= 1; --pass) {
    for (int32_t j = 0; j < pass; ++j) {
      if (Palette.entries[j].alpha < Palette.entries[j + 1].alpha) {
        std::swap(Palette.entries[j], Palette.entries[j + 1]);
        SwapMatchColors(colorMap[j], colorMap[j + 1]);
      }
    }
  }
}

void FixupPalette() {
  if (ColorMap == nullptr) return;
  const int32_t count = Palette.count;
  if (count < 1 || count > 256) return;

  int32_t last = count - 1;  // the highest entry in use that a marked entry may replace
  if (HasAlphaPlane() && (SaveOptions.alphaChannel || SaveOptions.useKeyColor)) {
    Palette.entries[count - 1].alpha = 0;
    ColorMap[count - 1].alpha = 0;
    last = count - 2;  // the transparent entry stays where it is
  }
  if (last < 0 || count >= Palette.builtCount) return;

  // Marked entries that fell out of range (fewer colours asked for) take the place of unmarked ones in range.
  for (int32_t i = count; i < Palette.builtCount && i < 256; ++i) {
    if (!Palette.entries[i].mark) continue;
    int32_t target = last;
    while (target >= 0 && Palette.entries[target].mark) --target;
    if (target < 0) return;
    std::swap(Palette.entries[i], Palette.entries[target]);
    SwapMatchColors(ColorMap[i], ColorMap[target]);
  }
}
