#include "png/png_layout.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "records/color.h"

namespace {

int32_t PaletteDepthFor(int32_t colors) {
  if (colors <= 2) return 1;
  if (colors <= 4) return 2;
  if (colors <= 16) return 4;
  return 8;
}

// A grey of 0..255 as a sample of `depth` bits; -1 when it does not fit exactly.
int32_t GreySample(int32_t grey, int32_t depth) {
  const int32_t step = 255 / ((1 << depth) - 1);
  return grey % step == 0 ? grey / step : -1;
}

// The grey the layout's bKGD states for the fill: a gray Standard file states (red + green + blue) / 3 and keeps
// it; from a colour file only a grey fill can be stated. -1: none.
int32_t BackgroundGrey(const PngWriteJob& job) {
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(job.fillColor));
  if (job.pngType == 0) return (fill.red + fill.green + fill.blue) / 3;
  return fill.red == fill.green && fill.green == fill.blue ? fill.red : -1;
}

void SetBackground(const PngWriteJob& job, PngLayout& layout) {
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(job.fillColor));
  switch (layout.colorType) {
    case PngColorType::kGray:
    case PngColorType::kGrayAlpha: {
      const int32_t grey = BackgroundGrey(job);
      const int32_t sample = grey < 0 ? -1 : GreySample(grey, layout.bitDepth);
      if (sample < 0) return;
      layout.background[1] = static_cast<uint8_t>(sample);
      layout.backgroundBytes = 2;
      return;
    }
    case PngColorType::kRgb:
    case PngColorType::kRgba:
      layout.background[1] = fill.red;
      layout.background[3] = fill.green;
      layout.background[5] = fill.blue;
      layout.backgroundBytes = 6;
      return;
    case PngColorType::kPalette:
      // Only an entry of the fill's own colour can state it.
      for (int32_t i = 0; i < layout.paletteCount; ++i) {
        const Rgba& entry = layout.palette[i];
        if (entry.red == fill.red && entry.green == fill.green && entry.blue == fill.blue) {
          layout.background[0] = static_cast<uint8_t>(i);
          layout.backgroundBytes = 1;
          return;
        }
      }
      return;
  }
}

int32_t Brightness(const Rgba& color) { return 299 * color.red + 587 * color.green + 114 * color.blue; }

// A palette of the census's colours in the given order of its colours, the non-opaque ones first.
PngLayout PaletteLayout(const PngWriteJob& job, const PixelCensus& census, std::vector<int32_t> order) {
  std::stable_partition(order.begin(), order.end(), [&](int32_t i) { return census.colors[i].alpha != 255; });
  PngLayout layout;
  layout.colorType = PngColorType::kPalette;
  layout.paletteCount = census.colorCount;
  layout.bitDepth = PaletteDepthFor(census.colorCount);
  for (int32_t i = 0; i < census.colorCount; ++i) {
    layout.palette[i] = census.colors[order[static_cast<size_t>(i)]];
    if (layout.palette[i].alpha != 255) layout.transparentCount = i + 1;
  }
  SetBackground(job, layout);
  return layout;
}

}  // namespace

int32_t PngLayout::Channels() const {
  switch (colorType) {
    case PngColorType::kGrayAlpha: return 2;
    case PngColorType::kRgb: return 3;
    case PngColorType::kRgba: return 4;
    default: return 1;
  }
}

int32_t PngLayout::AlphaOffset() const {
  // The row filters predict clear pixels byte by byte: a 16-bit alpha is two bytes, and such pixels keep theirs.
  if (bitDepth == 16) return -1;
  if (colorType == PngColorType::kGrayAlpha) return 1;
  if (colorType == PngColorType::kRgba) return 3;
  return -1;
}

// A 16-bit file keeps the Standard file's colour type and depth: its samples are not counted.
PngLayout SixteenBitLayout(const PngWriteJob& job) {
  PngLayout layout;
  layout.bitDepth = 16;
  const bool alpha = job.hasAlphaPlane && job.alphaChannel;
  if (job.pngType == kPngRgb) {
    layout.colorType = alpha ? PngColorType::kRgba : PngColorType::kRgb;
  } else {
    layout.colorType = alpha ? PngColorType::kGrayAlpha : PngColorType::kGray;
  }
  // bKGD as the Standard file states it, each sample of the 8-bit fill widened to 16 bits.
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(job.fillColor));
  const uint8_t gray = static_cast<uint8_t>((fill.red + fill.green + fill.blue) / 3);
  const uint8_t samples[3] = {fill.red, fill.green, fill.blue};
  const bool rgb = job.pngType == kPngRgb;
  layout.backgroundBytes = rgb ? 6 : 2;
  for (int32_t i = 0; i < layout.backgroundBytes / 2; ++i) {
    const uint8_t sample = rgb ? samples[i] : gray;
    layout.background[2 * i] = sample;  // x 257: the same byte twice
    layout.background[2 * i + 1] = sample;
  }
  return layout;
}

std::vector<PngLayout> CandidateLayouts(const PngWriteJob& job, const PixelCensus& census) {
  if (job.SixteenBits()) return {SixteenBitLayout(job)};
  std::vector<PngLayout> layouts;
  // A profile in the file describes either gray or colour samples: the layouts keep to the profile's kind.
  const bool iccp = job.colorChunk == ColorChunk::kIccp;
  const bool colorOnly = iccp && job.iccSpace == IccColorSpace::kRgb;
  const bool grayOnly = iccp && job.iccSpace == IccColorSpace::kGray;
  PngLayout direct;
  if (census.grey && !colorOnly) {
    direct.colorType = census.opaque ? PngColorType::kGray : PngColorType::kGrayAlpha;
    direct.bitDepth = census.opaque ? census.greyDepth : 8;
  } else {
    direct.colorType = census.opaque ? PngColorType::kRgb : PngColorType::kRgba;
  }
  SetBackground(job, direct);
  layouts.push_back(direct);

  if (grayOnly || census.colorCount < 1 || census.colorCount > PixelCensus::kMostColors) return layouts;
  // A palette cannot be smaller than grays of as few bits.
  if (direct.colorType == PngColorType::kGray && direct.bitDepth <= PaletteDepthFor(census.colorCount)) {
    return layouts;
  }
  std::vector<int32_t> appearance(static_cast<size_t>(census.colorCount));
  std::iota(appearance.begin(), appearance.end(), 0);
  std::vector<int32_t> byUse = appearance;
  std::stable_sort(byUse.begin(), byUse.end(), [&](int32_t a, int32_t b) { return census.uses[a] > census.uses[b]; });
  std::vector<int32_t> byBrightness = appearance;
  std::stable_sort(byBrightness.begin(), byBrightness.end(),
                   [&](int32_t a, int32_t b) { return Brightness(census.colors[a]) < Brightness(census.colors[b]); });
  layouts.push_back(PaletteLayout(job, census, byUse));
  layouts.push_back(PaletteLayout(job, census, byBrightness));
  layouts.push_back(PaletteLayout(job, census, appearance));
  // Whole bytes per index compress better now and then, on small pictures above all.
  if (layouts.back().bitDepth < 8) {
    PngLayout bytes = PaletteLayout(job, census, byUse);
    bytes.bitDepth = 8;
    layouts.push_back(bytes);
  }
  return layouts;
}

LayoutRows::LayoutRows(const PngWriteJob& job, const PngLayout& layout) : job_(job), layout_(layout), pixels_(job) {
  if (job.SixteenBits()) rows16_.emplace(*job.image16, job.pngType, job.alphaChannel, job.fillColor);
  if (layout.colorType != PngColorType::kPalette) return;
  std::fill(std::begin(indexes_), std::end(indexes_), int16_t{-1});
  for (int32_t i = 0; i < layout.paletteCount; ++i) {
    const uint32_t key = layout.palette[i].Packed();
    uint32_t slot = (key * 2654435761u) >> 22;
    while (indexes_[slot] >= 0) slot = (slot + 1) & (kSlots - 1);
    keys_[slot] = key;
    indexes_[slot] = static_cast<int16_t>(i);
  }
  if (pixels_.IsPalette()) {
    for (int32_t i = 0; i < pixels_.PaletteCount(); ++i) {
      indexOfStandard_[i] = static_cast<uint8_t>(FileIndex(pixels_.Entry(i)));
    }
  }
}

int32_t LayoutRows::FileIndex(Rgba color) const {
  const uint32_t key = color.Packed();
  uint32_t slot = (key * 2654435761u) >> 22;
  while (indexes_[slot] >= 0) {
    if (keys_[slot] == key) return indexes_[slot];
    slot = (slot + 1) & (kSlots - 1);
  }
  return 0;  // not a colour of the picture: cannot happen for the census's own layouts
}

void LayoutRows::Row(int32_t y, uint8_t* out) const {
  if (rows16_) {
    rows16_->Row(y, out);
    return;
  }
  const uint8_t* row = pixels_.Row(y);
  const int32_t width = job_.width;
  const int32_t depth = layout_.bitDepth;
  switch (layout_.colorType) {
    case PngColorType::kPalette:
    case PngColorType::kGray: {
      const bool palette = layout_.colorType == PngColorType::kPalette;
      const int32_t step = palette ? 1 : 255 / ((1 << depth) - 1);
      std::memset(out, 0, layout_.RowBytes(width));
      Rgba last{};
      int32_t lastSample = -1;
      for (int32_t x = 0; x < width; ++x) {
        int32_t sample = 0;
        if (palette && pixels_.IsPalette()) {
          sample = indexOfStandard_[row[x]];
        } else {
          const Rgba color = pixels_.At(row, x);
          if (lastSample < 0 || color.Packed() != last.Packed()) {
            last = color;
            lastSample = palette ? FileIndex(color) : color.red / step;
          }
          sample = lastSample;
        }
        if (depth == 8) {
          out[x] = static_cast<uint8_t>(sample);
        } else {
          // Samples of fewer bits are packed from the high bits of each byte down.
          const int32_t bit = x * depth;
          out[bit / 8] = static_cast<uint8_t>(out[bit / 8] | sample << (8 - depth - bit % 8));
        }
      }
      return;
    }
    case PngColorType::kGrayAlpha:
      for (int32_t x = 0; x < width; ++x, out += 2) {
        const Rgba color = pixels_.Stored(row, x);
        out[0] = color.red;
        out[1] = color.alpha;
      }
      return;
    case PngColorType::kRgb:
      for (int32_t x = 0; x < width; ++x, out += 3) {
        const Rgba color = pixels_.At(row, x);
        out[0] = color.red;
        out[1] = color.green;
        out[2] = color.blue;
      }
      return;
    case PngColorType::kRgba:
      for (int32_t x = 0; x < width; ++x, out += 4) {
        const Rgba color = pixels_.Stored(row, x);
        out[0] = color.red;
        out[1] = color.green;
        out[2] = color.blue;
        out[3] = color.alpha;
      }
      return;
  }
}
