#include "reduce/row_converter.h"

#include <algorithm>
#include <new>
#include <utility>

#include "records/gray.h"
#include "reduce/alpha_weight.h"

namespace {

using Table = std::unique_ptr<uint8_t[]>;  // the same as RowConverter::Table

Table NewTable() { return Table(new (std::nothrow) uint8_t[256 * 256]); }

// The per-pixel formulas of gray.h evaluated once per run for every input they can meet; the tables give
// exactly the values the formulas give.
Table CompositeTable(int32_t fill) {
  Table table = NewTable();
  if (table == nullptr) return table;
  for (int32_t alpha = 0; alpha < 256; ++alpha) {
    const AlphaFractions fractions = AlphaFractionsOf(alpha);
    for (int32_t value = 0; value < 256; ++value) {
      table[alpha * 256 + value] = static_cast<uint8_t>(CompositeOver(value, fill, fractions));
    }
  }
  return table;
}

Table GrayOverFillTable(int32_t fillGray, bool singleFillTerm) {
  Table table = NewTable();
  if (table == nullptr) return table;
  for (int32_t alpha = 0; alpha < 256; ++alpha) {
    const AlphaFractions fractions = AlphaFractionsOf(alpha);
    for (int32_t gray = 0; gray < 256; ++gray) {
      table[alpha * 256 + gray] = static_cast<uint8_t>(singleFillTerm ? GrayOverSingleFill(gray, fillGray, fractions)
                                                                      : GrayOverFill(gray, fillGray, fractions));
    }
  }
  return table;
}

}  // namespace

// The three weighted terms of GrayOf, summed in the same order.
struct RowConverter::GrayTerms {
  GrayTerms() {
    for (int32_t v = 0; v < 256; ++v) {
      red[v] = static_cast<double>(v) * static_cast<double>(kRedGrayWeight);
      green[v] = static_cast<double>(v) * kGreenGrayWeight;
      blue[v] = static_cast<double>(v) * kBlueGrayWeight;
    }
  }
  uint8_t Gray(uint8_t r, uint8_t g, uint8_t b) const {
    return static_cast<uint8_t>(static_cast<int32_t>((red[r] + green[g]) + blue[b]));
  }
  double red[256];
  double green[256];
  double blue[256];
};

RowConverter::RowConverter(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
                           const PaletteMatch& match, DitherState& dither)
    : settings_(settings),
      match_(match),
      dither_(dither),
      width_(image._WholeWidth),
      planes_(image._WholePlanesIn),
      out_(settings.bytesPerPixel) {
  const bool composite = settings.planes == 4 && !settings.alphaChannel;
  switch (settings.mode) {
    case kWholeRgb:
      if (settings.pngType == kPngRgb && composite) MakeCompositeTables();
      if (settings.pngType == kPngGrayscale) {
        grayTerms_.reset(new (std::nothrow) GrayTerms);
        ready_ = ready_ && grayTerms_ != nullptr;
        if (composite) NeedTable(grayOver_, GrayOverFillTable(settings.fillGray, false));
      }
      if (settings.pngType == kPngPalette) {
        if (settings.planes >= 4 && !settings.alphaMode && !settings.keyColorMode) MakeCompositeTables();
        const AColorHistEntry* searched = match.colorMap;
        if (settings.alphaWeighted && match.colorMap != nullptr) {
          for (int32_t i = 0; i < std::min(match.count, 256); ++i)
            premultiplied_[i] = PremultipliedEntry(match.colorMap[i]);
          searched = premultiplied_;
        }
        lookup_.reset(new (std::nothrow) PaletteLookup(searched, match.searchCount, match.useMatchCache, match.shared));
        ready_ = ready_ && lookup_ != nullptr && lookup_->Ready();
      }
      break;
    case kWholeIndexed:
      for (int32_t i = 0; i < 256; ++i) {
        // The colour table's transparent entry is transparency the file does not keep: it takes the fill.
        const PaletteEntry& entry = palette.entries[i];
        const bool clear = entry.alpha == 0 && !settings.alphaMode;
        paletteRgb_[i] =
            clear ? RgbColor{static_cast<uint8_t>(settings.fillRed), static_cast<uint8_t>(settings.fillGreen),
                             static_cast<uint8_t>(settings.fillBlue)}
                  : RgbColor{entry.red, entry.green, entry.blue};
        paletteGray_[i] = static_cast<uint8_t>(clear ? settings.fillGray : GrayOf(entry.red, entry.green, entry.blue));
      }
      break;
    case kWholeGray:
      if (settings.pngType == kPngPalette && settings.planes == 2) {
        NeedTable(grayOver_, GrayOverFillTable(settings.fillGray, false));
      } else if (settings.pngType != kPngPalette && settings.planes == 2 && !settings.alphaMode) {
        NeedTable(grayOver_, GrayOverFillTable(settings.fillGray, true));
      }
      break;
    default: break;
  }
}

RowConverter::~RowConverter() = default;

uint64_t RowConverter::NoiseDraws(const uint8_t* in) const {
  const DitherAlphaRules alphaRules{settings_.transparencyDither, settings_.alphaChannel};
  // Without transparency dither every pixel takes the same draws: no need to read the row.
  if (!alphaRules.dither) return static_cast<uint64_t>(NoiseDrawsFor(alphaRules, 255)) * static_cast<uint64_t>(width_);
  const bool hasAlpha = planes_ >= 4;
  const bool composite = hasAlpha && overRed_ != nullptr;
  uint64_t draws = 0;
  for (int32_t x = 0; x < width_; ++x, in += planes_) {
    draws += static_cast<uint64_t>(NoiseDrawsFor(alphaRules, hasAlpha && !composite ? in[3] : 255));
  }
  return draws;
}

void RowConverter::Row(int32_t y, const uint8_t* in, uint8_t* out) {
  switch (settings_.mode) {
    case kWholeRgb:
      // An RGB image needs its three colour planes; anything less is not an image this filter can read.
      if (planes_ < 3) return;
      if (settings_.pngType == kPngRgb) RgbToRgb(in, out);
      if (settings_.pngType == kPngGrayscale) RgbToGray(in, out);
      if (settings_.pngType == kPngPalette) RgbToPalette(y, in, out);
      return;
    case kWholeIndexed:
      if (settings_.pngType == kPngRgb) IndexedToRgb(in, out);
      if (settings_.pngType == kPngGrayscale) IndexedToGray(in, out);
      if (settings_.pngType == kPngPalette) IndexedToPalette(in, out);
      return;
    case kWholeGray:
      if (settings_.pngType == kPngRgb) GrayToRgb(in, out);
      if (settings_.pngType == kPngGrayscale) GrayToGray(in, out);
      if (settings_.pngType == kPngPalette) GrayToPalette(in, out);
      return;
    default: return;  // other modes write nothing
  }
}

void RowConverter::NeedTable(Table& slot, Table table) {
  slot = std::move(table);
  ready_ = ready_ && slot != nullptr;
}

void RowConverter::MakeCompositeTables() {
  NeedTable(overRed_, CompositeTable(settings_.fillRed));
  NeedTable(overGreen_, CompositeTable(settings_.fillGreen));
  NeedTable(overBlue_, CompositeTable(settings_.fillBlue));
}

void RowConverter::RgbToRgb(const uint8_t* in, uint8_t* out) const {
  if ((planes_ == 4 && settings_.alphaChannel) || planes_ == 3) {
    std::copy(in, in + static_cast<size_t>(width_) * planes_, out);
    return;
  }
  if (planes_ == 4) {
    for (int32_t x = 0; x < width_; ++x, in += 4, out += 3) {
      const int32_t row = in[3] * 256;
      out[0] = overRed_[row + in[0]];
      out[1] = overGreen_[row + in[1]];
      out[2] = overBlue_[row + in[2]];
    }
    return;
  }
  // Beyond 4 planes the alpha byte still comes from plane 3, so no output byte is left from an earlier run.
  const bool alpha = settings_.alphaMode;
  for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    if (alpha) out[3] = in[3];
  }
}

void RowConverter::RgbToGray(const uint8_t* in, uint8_t* out) const {
  const GrayTerms& terms = *grayTerms_;
  if (planes_ == 4 && !settings_.alphaChannel) {
    for (int32_t x = 0; x < width_; ++x, in += 4, ++out) {
      *out = grayOver_[in[3] * 256 + terms.Gray(in[0], in[1], in[2])];
    }
    return;
  }
  const bool alpha = settings_.alphaMode;
  for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
    out[0] = terms.Gray(in[0], in[1], in[2]);
    if (alpha) out[1] = in[3];
  }
}

void RowConverter::RgbToPalette(int32_t y, const uint8_t* in, uint8_t* out) {
  const bool hasAlpha = planes_ >= 4;
  const bool composite = hasAlpha && overRed_ != nullptr;
  const bool transparencyRules = settings_.alphaMode || settings_.keyColorMode;
  const DitherAlphaRules alphaRules{settings_.transparencyDither, settings_.alphaChannel};
  const int32_t last = match_.count - 1;
  const AColorHistEntry* colorMap = match_.colorMap;
  const bool weighted = settings_.alphaWeighted;
  if (settings_.dither == kDiffusion) StartDitherRow(dither_);

  for (int32_t x = 0; x < width_; ++x, in += planes_) {
    DitherPixel pixel{in[0], in[1], in[2], hasAlpha ? in[3] : 255};
    if (composite) {
      const int32_t row = pixel.alpha * 256;
      pixel = DitherPixel{overRed_[row + pixel.red], overGreen_[row + pixel.green], overBlue_[row + pixel.blue], 255};
    }
    switch (settings_.dither) {
      case kDiffusion:
        if (!weighted) DiffuseBefore(dither_, x, alphaRules.dither, pixel);
        break;
      case kPattern: DitherPattern(x, y, alphaRules, pixel); break;
      case kNoise: DitherNoise(dither_, alphaRules, pixel); break;
      default: break;
    }
    // Weighted by alpha, the pixel is matched and its error carried premultiplied.
    if (weighted) {
      pixel = DitherPixel{Premultiply(pixel.red, pixel.alpha), Premultiply(pixel.green, pixel.alpha),
                          Premultiply(pixel.blue, pixel.alpha), pixel.alpha};
      if (settings_.dither == kDiffusion) DiffusePremultipliedBefore(dither_, x, alphaRules.dither, pixel);
    }

    int32_t index = last;
    if (!(transparencyRules && pixel.alpha == settings_.minAlpha)) {
      const int32_t found = lookup_->Find(static_cast<uint8_t>(pixel.red), static_cast<uint8_t>(pixel.green),
                                          static_cast<uint8_t>(pixel.blue), static_cast<uint8_t>(pixel.alpha));
      // Nothing to search (a one-entry palette with its entry kept for transparency): the last entry.
      if (found >= 0) index = found;
    }
    if (settings_.keyColorMode && pixel.alpha < kKeyColorAlpha) index = last;
    out[x] = static_cast<uint8_t>(index);

    if (settings_.dither == kDiffusion) {
      const AColorHistEntry& entry = weighted ? premultiplied_[index] : colorMap[index];
      const DitherPixel target{entry.red, entry.green, entry.blue,
                               settings_.alphaChannel ? int32_t{entry.alpha} : kKeyColorAlpha};
      DiffuseAfter(dither_, x, pixel, target, alphaRules.dither);
    }
  }
}

void RowConverter::IndexedToRgb(const uint8_t* in, uint8_t* out) const {
  const bool alpha = settings_.alphaMode;
  for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
    const RgbColor& color = paletteRgb_[in[0]];
    out[0] = color.red;
    out[1] = color.green;
    out[2] = color.blue;
    if (alpha) out[3] = in[1];
  }
}

void RowConverter::IndexedToGray(const uint8_t* in, uint8_t* out) const {
  const bool alpha = settings_.alphaMode;
  for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
    out[0] = paletteGray_[in[0]];
    if (alpha) out[1] = in[1];
  }
}

void RowConverter::IndexedToPalette(const uint8_t* in, uint8_t* out) const {
  for (int32_t x = 0; x < width_; ++x, in += planes_) out[x] = in[0];
}

void RowConverter::GrayToRgb(const uint8_t* in, uint8_t* out) const {
  const bool alpha = settings_.alphaMode;
  const bool over = !alpha && planes_ == 2;
  for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
    const uint8_t value = over ? grayOver_[in[1] * 256 + in[0]] : in[0];
    out[0] = value;
    out[1] = value;
    out[2] = value;
    if (alpha) out[3] = in[1];
  }
}

void RowConverter::GrayToGray(const uint8_t* in, uint8_t* out) const {
  const bool alpha = settings_.alphaMode;
  const bool over = !alpha && planes_ == 2;
  for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
    out[0] = over ? grayOver_[in[1] * 256 + in[0]] : in[0];
    if (alpha) out[1] = in[1];
  }
}

void RowConverter::GrayToPalette(const uint8_t* in, uint8_t* out) const {
  // The gray ramp makes the composited gray value its own index; alpha counts only with exactly 2 planes.
  if (planes_ != 2) {
    for (int32_t x = 0; x < width_; ++x, in += planes_) out[x] = in[0];
    return;
  }
  for (int32_t x = 0; x < width_; ++x, in += 2) out[x] = grayOver_[in[1] * 256 + in[0]];
}
