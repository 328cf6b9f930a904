#include "reduce/reduce_filter.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "base/callouts.h"
#include "base/debug_log.h"
#include "base/platform.h"
#include "base/progress.h"
#include "records/reduced_image.h"
#include "reduce/dither.h"
#include "reduce/gray.h"
#include "reduce/median_cut.h"
#include "reduce/palette_lookup.h"
#include "reduce/row_bands.h"

namespace {

// In key-colour mode a pixel below this alpha is transparent, and Diffusion measures alpha errors from it.
constexpr int32_t kKeyColorAlpha = 127;
// With a lowest alpha below this, alpha mode keeps the transparent entry out of the search.
constexpr int32_t kClearMinAlpha = 100;

using Table = std::unique_ptr<uint8_t[]>;  // [alpha][value], 256 × 256; null when the memory cannot be had

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

// The three weighted terms of GrayOf, summed in the same order.
struct GrayTerms {
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

// Converts one row at a time for one run: holds the tables, the lookup and the dither state the run needs.
// Not Ready when one of them could not be had.
class RowConverter {
 public:
  RowConverter(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
               const PaletteMatch& match, DitherState& dither)
      : settings_(settings),
        palette_(palette),
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
          lookup_.reset(new (std::nothrow)
                            PaletteLookup(match.colorMap, match.searchCount, match.useMatchCache, match.shared));
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
          paletteGray_[i] =
              static_cast<uint8_t>(clear ? settings.fillGray : GrayOf(entry.red, entry.green, entry.blue));
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

  bool Ready() const { return ready_; }

  // The noise draws Row takes for this row's pixels.
  uint64_t NoiseDraws(const uint8_t* in) const {
    const DitherAlphaRules alphaRules{settings_.transparencyDither, settings_.alphaChannel};
    // Without transparency dither every pixel takes the same draws: no need to read the row.
    if (!alphaRules.dither)
      return static_cast<uint64_t>(NoiseDrawsFor(alphaRules, 255)) * static_cast<uint64_t>(width_);
    const bool hasAlpha = planes_ >= 4;
    const bool composite = hasAlpha && overRed_ != nullptr;
    uint64_t draws = 0;
    for (int32_t x = 0; x < width_; ++x, in += planes_) {
      draws += static_cast<uint64_t>(NoiseDrawsFor(alphaRules, hasAlpha && !composite ? in[3] : 255));
    }
    return draws;
  }

  void Row(int32_t y, const uint8_t* in, uint8_t* out) {
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

 private:
  void NeedTable(Table& slot, Table table) {
    slot = std::move(table);
    ready_ = ready_ && slot != nullptr;
  }

  void MakeCompositeTables() {
    NeedTable(overRed_, CompositeTable(settings_.fillRed));
    NeedTable(overGreen_, CompositeTable(settings_.fillGreen));
    NeedTable(overBlue_, CompositeTable(settings_.fillBlue));
  }

  void RgbToRgb(const uint8_t* in, uint8_t* out) const {
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

  void RgbToGray(const uint8_t* in, uint8_t* out) const {
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

  void RgbToPalette(int32_t y, const uint8_t* in, uint8_t* out) {
    const bool hasAlpha = planes_ >= 4;
    const bool composite = hasAlpha && overRed_ != nullptr;
    const bool transparencyRules = settings_.alphaMode || settings_.keyColorMode;
    const DitherAlphaRules alphaRules{settings_.transparencyDither, settings_.alphaChannel};
    const int32_t last = match_.count - 1;
    const AColorHistEntry* colorMap = match_.colorMap;
    if (settings_.dither == kDiffusion) StartDitherRow(dither_);

    for (int32_t x = 0; x < width_; ++x, in += planes_) {
      DitherPixel pixel{in[0], in[1], in[2], hasAlpha ? in[3] : 255};
      if (composite) {
        const int32_t row = pixel.alpha * 256;
        pixel = DitherPixel{overRed_[row + pixel.red], overGreen_[row + pixel.green], overBlue_[row + pixel.blue], 255};
      }
      switch (settings_.dither) {
        case kDiffusion: DiffuseBefore(dither_, x, alphaRules.dither, pixel); break;
        case kPattern: DitherPattern(x, y, alphaRules, pixel); break;
        case kNoise: DitherNoise(dither_, alphaRules, pixel); break;
        default: break;
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
        const AColorHistEntry& entry = colorMap[index];
        const DitherPixel target{entry.red, entry.green, entry.blue,
                                 settings_.alphaChannel ? int32_t{entry.alpha} : kKeyColorAlpha};
        DiffuseAfter(dither_, x, pixel, target, alphaRules.dither);
      }
    }
  }

  void IndexedToRgb(const uint8_t* in, uint8_t* out) const {
    const bool alpha = settings_.alphaMode;
    for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
      const RgbColor& color = paletteRgb_[in[0]];
      out[0] = color.red;
      out[1] = color.green;
      out[2] = color.blue;
      if (alpha) out[3] = in[1];
    }
  }

  void IndexedToGray(const uint8_t* in, uint8_t* out) const {
    const bool alpha = settings_.alphaMode;
    for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
      out[0] = paletteGray_[in[0]];
      if (alpha) out[1] = in[1];
    }
  }

  void IndexedToPalette(const uint8_t* in, uint8_t* out) const {
    for (int32_t x = 0; x < width_; ++x, in += planes_) out[x] = in[0];
  }

  void GrayToRgb(const uint8_t* in, uint8_t* out) const {
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

  void GrayToGray(const uint8_t* in, uint8_t* out) const {
    const bool alpha = settings_.alphaMode;
    const bool over = !alpha && planes_ == 2;
    for (int32_t x = 0; x < width_; ++x, in += planes_, out += out_) {
      out[0] = over ? grayOver_[in[1] * 256 + in[0]] : in[0];
      if (alpha) out[1] = in[1];
    }
  }

  void GrayToPalette(const uint8_t* in, uint8_t* out) const {
    // The gray ramp makes the composited gray value its own index; alpha counts only with exactly 2 planes.
    if (planes_ != 2) {
      for (int32_t x = 0; x < width_; ++x, in += planes_) out[x] = in[0];
      return;
    }
    for (int32_t x = 0; x < width_; ++x, in += 2) out[x] = grayOver_[in[1] * 256 + in[0]];
  }

  const FilterSettings& settings_;
  const PaletteRecord& palette_;
  const PaletteMatch& match_;
  DitherState& dither_;
  const int32_t width_;
  const int32_t planes_;
  const int32_t out_;  // bytes per output pixel
  Table overRed_;
  Table overGreen_;
  Table overBlue_;
  Table grayOver_;
  std::unique_ptr<GrayTerms> grayTerms_;
  RgbColor paletteRgb_[256] = {};
  uint8_t paletteGray_[256] = {};
  std::unique_ptr<PaletteLookup> lookup_;
  bool ready_ = true;
};

void FillGrayRamp(PaletteRecord& palette) {
  palette.count = 256;
  for (int32_t i = 0; i < 256; ++i) {
    const uint8_t level = static_cast<uint8_t>(i);
    palette.entries[i] = PaletteEntry{level, level, level, 255, 0};
  }
}

}  // namespace

FilterSettings FilterSettingsFor(const WholeImageRecord& image, const SaveOptionsRecord& options) {
  FilterSettings settings;
  settings.mode = image._WholeMode;
  settings.planes = image._WholePlanesIn;
  settings.pngType = UsablePngType(options.pngType);
  settings.dither = UsableDither(options.dither);
  settings.paletteColors = UsablePaletteColors(options.paletteColors);
  settings.alphaChannel = options.alphaChannel != 0;

  // A gray image saved as Palette becomes the gray ramp, which keeps no transparency.
  const bool alphaPlane =
      HasAlphaPlane(image._WholePlanesIn) && !(image._WholeMode == kWholeGray && settings.pngType == kPngPalette);
  settings.alphaMode = alphaPlane && settings.alphaChannel;
  settings.keyColorMode = alphaPlane && !settings.alphaChannel && options.useKeyColor != 0;
  settings.transparencyDither = options.keyColorDither != 0 && (settings.alphaMode || settings.keyColorMode);

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

namespace {

// One band thread's converter with the dither state it works on.
struct BandWorker {
  BandWorker(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
             const PaletteMatch& match)
      : converter(image, settings, palette, match, dither) {}
  DitherState dither;
  RowConverter converter;
};

// Where each band's rows start in the noise sequence: the draws of every row before it skipped. Null when the
// memory cannot be had.
std::unique_ptr<uint32_t[]> NoiseStarts(const RowConverter& converter, const WholeImageRecord& image,
                                        const RowBands& bands, size_t inRowBytes) {
  std::unique_ptr<uint32_t[]> starts(new (std::nothrow) uint32_t[static_cast<size_t>(bands.Count())]);
  if (starts == nullptr) return starts;
  DitherState noise;
  ResetNoise(noise);
  for (int32_t band = 0; band < bands.Count(); ++band) {
    starts[band] = noise.noise;
    const int32_t first = band * bands.bandRows;
    const int32_t end = std::min(first + bands.bandRows, bands.height);
    uint64_t draws = 0;
    for (int32_t y = first; y < end; ++y) draws += converter.NoiseDraws(image.pixels + y * inRowBytes);
    SkipNoiseDraws(noise, draws);
  }
  return starts;
}

ReduceStatus ReduceRowsInBands(const WholeImageRecord& image, const FilterSettings& settings,
                               const PaletteRecord& palette, const PaletteMatch& match, uint8_t* pixels,
                               const ProgressReport& progress, const RowBands& bands) {
  // Every thread's converter is made here, before any band starts, so a lack of memory stops the run at once.
  std::unique_ptr<SharedMatches> shared;
  PaletteMatch bandMatch = match;
  if (settings.mode == kWholeRgb && settings.pngType == kPngPalette) {
    shared.reset(new (std::nothrow) SharedMatches);
    if (shared == nullptr || !shared->Ready()) return ReduceStatus::OutOfMemory;
    bandMatch.shared = shared.get();
    bandMatch.useMatchCache = false;  // the shared answers stand in for each thread's own
  }
  std::unique_ptr<std::unique_ptr<BandWorker>[]> workers(
      new (std::nothrow) std::unique_ptr<BandWorker>[static_cast<size_t>(bands.threads)]);
  if (workers == nullptr) return ReduceStatus::OutOfMemory;
  for (int32_t i = 0; i < bands.threads; ++i) {
    workers[i].reset(new (std::nothrow) BandWorker(image, settings, palette, bandMatch));
    if (workers[i] == nullptr || !workers[i]->converter.Ready()) return ReduceStatus::OutOfMemory;
  }
  const size_t inRowBytes = static_cast<size_t>(image._WholeWidth) * static_cast<size_t>(image._WholePlanesIn);
  const size_t outRowBytes = static_cast<size_t>(image._WholeWidth) * static_cast<size_t>(settings.bytesPerPixel);
  std::unique_ptr<uint32_t[]> noiseStarts;
  if (settings.dither == kNoise && settings.mode == kWholeRgb && settings.pngType == kPngPalette) {
    noiseStarts = NoiseStarts(workers[0]->converter, image, bands, inRowBytes);
    if (noiseStarts == nullptr) return ReduceStatus::OutOfMemory;
  }

  const auto band = [&](int32_t worker, int32_t first, int32_t end) {
    BandWorker& rows = *workers[worker];
    if (noiseStarts != nullptr) rows.dither.noise = noiseStarts[first / bands.bandRows];
    for (int32_t y = first; y < end; ++y)
      rows.converter.Row(y, image.pixels + y * inRowBytes, pixels + y * outRowBytes);
  };
  const int32_t height = image._WholeHeight;
  const auto rowsDone = [&](int32_t rows) { return !progress || progress(rows - 1, 2.0 * height); };
  return RunRowBands(bands, band, rowsDone) ? ReduceStatus::Ok : ReduceStatus::Aborted;
}

}  // namespace

ReduceStatus ReduceRows(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
                        const PaletteMatch& match, uint8_t* pixels, const ProgressReport& progress,
                        const RowSpread& spread) {
  const int32_t width = image._WholeWidth;
  const int32_t height = image._WholeHeight;
  const bool paletteOfRgb = settings.mode == kWholeRgb && settings.pngType == kPngPalette;
  // Without a colour map there is nothing to match against; the buffer keeps what it had.
  if (paletteOfRgb && (match.colorMap == nullptr || match.count < 1)) return ReduceStatus::NoPalette;
  if (width > 0 && height > 0 && (pixels == nullptr || image.pixels == nullptr)) return ReduceStatus::OutOfMemory;

  // Diffusion carries each row's error into the next: its rows go in order.
  const bool inOrder = paletteOfRgb && settings.dither == kDiffusion;
  RowBands bands;
  bands.height = height;
  bands.bandRows = spread.bandRows > 0 ? spread.bandRows : BandRowsFor(width);
  bands.threads = std::min(std::max(spread.threads, 1), std::max(bands.Count(), 1));
  if (!inOrder && bands.threads > 1) {
    return ReduceRowsInBands(image, settings, palette, match, pixels, progress, bands);
  }

  DitherState dither;
  if (inOrder && !AllocateErrorRow(dither, width)) return ReduceStatus::OutOfMemory;
  ResetNoise(dither);

  RowConverter converter(image, settings, palette, match, dither);
  if (!converter.Ready()) return ReduceStatus::OutOfMemory;
  const size_t inRowBytes = static_cast<size_t>(width) * static_cast<size_t>(image._WholePlanesIn);
  const size_t outRowBytes = static_cast<size_t>(width) * static_cast<size_t>(settings.bytesPerPixel);
  for (int32_t y = 0; y < height; ++y) {
    converter.Row(y, image.pixels + y * inRowBytes, pixels + y * outRowBytes);
    if (progress && !progress(y, 2.0 * height)) return ReduceStatus::Aborted;
  }
  return ReduceStatus::Ok;
}

bool PrepareReducedImage(ReducedImageRecord& reduced, int32_t width, int32_t height, int32_t bytesPerPixel) {
  const bool reusable = reduced.pixels != nullptr && reduced.bytesPerPixel == bytesPerPixel && reduced.width == width &&
                        reduced.height == height;
  if (!reusable) {
    FreeReducedImagePixels(reduced);
    const size_t rowBytes = static_cast<size_t>(width < 0 ? 0 : width) * static_cast<size_t>(bytesPerPixel);
    const size_t bytes = (static_cast<size_t>(height < 0 ? 0 : height) + 2) * rowBytes;
    reduced.pixels = static_cast<uint8_t*>(platform::AllocatePages(bytes));
    if (reduced.pixels == nullptr) {
      reduced.rowBytes = 0;
      return false;
    }
    reduced.pixelBytes = bytes;
    reduced.bytesPerPixel = bytesPerPixel;
    reduced.width = width;
    reduced.height = height;
  }
  reduced.rowBytes = width * bytesPerPixel;
  return true;
}

ReduceStatus ReduceImage(const ReductionRecords& records, const ProgressReport& progress, void (*paletteReady)()) {
  DebugLog("DoFilter Start");
  const WholeImageRecord& image = records.image;
  PaletteRecord& palette = records.palette;
  AColorHistEntry*& colorMap = records.colorMap;
  const FilterSettings settings = FilterSettingsFor(image, records.options);
  if (!PrepareReducedImage(records.reduced, image._WholeWidth, image._WholeHeight, settings.bytesPerPixel)) {
    DebugLog("DoFilter: no memory for the reduced image");
    records.reduced.stale = true;
    return ReduceStatus::OutOfMemory;
  }

  PaletteMatch match;
  if (settings.pngType == kPngPalette && settings.mode == kWholeGray) {
    FillGrayRamp(palette);
    // A gray image never has a colour map: one left by an earlier palette build is shorter than the
    // ramp's 256 entries, and the fix-up would write past its end.
    delete[] std::exchange(colorMap, nullptr);
    if (paletteReady != nullptr) paletteReady();
  } else if (settings.pngType == kPngPalette && settings.mode == kWholeRgb) {
    palette.count = palette.builtCount;
    if (!palette.built) {
      delete[] std::exchange(colorMap, nullptr);
      // The refinement can take a while; a stop asked for meanwhile ends the run before the palette is taken.
      // Once the report has said stop it is not asked again.
      bool stopAsked = false;
      const auto keepGoing = [&] {
        if (!stopAsked && progress) stopAsked = !progress(0, 2.0 * image._WholeHeight);
        return !stopAsked;
      };
      colorMap = BuildColorPalette(image, records.options, palette, keepGoing);
      if (records.options.refinePalette && !keepGoing()) {
        delete[] std::exchange(colorMap, nullptr);
        records.reduced.stale = true;
        return ReduceStatus::Aborted;
      }
      palette.built = 1;
    }
    palette.count = std::min(palette.count, settings.paletteColors);
    FixupPalette(image, records.options, palette, colorMap);
    if (paletteReady != nullptr) paletteReady();
    match = PaletteMatchFor(settings, colorMap, palette.count);
  }

  RowSpread spread;
  spread.threads = ReductionThreads();
  const ReduceStatus status = ReduceRows(image, settings, palette, match, records.reduced.pixels, progress, spread);
  records.reduced.stale = status != ReduceStatus::Ok;
  if (status == ReduceStatus::Ok) DebugLog("DoFilter End");
  return status;
}

bool DoFilter() {
  const ReductionRecords records{WholeImage, SaveOptions, Palette, ColorMap, ReducedImage};
  return ReduceImage(records, Progress, CalloutPaletteViewRefresh) != ReduceStatus::Aborted;
}
