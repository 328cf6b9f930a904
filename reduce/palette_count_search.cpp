#include "reduce/palette_count_search.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>
#include <utility>

#include "base/page_block.h"
#include "base/row_bands.h"
#include "reduce/alpha_weight.h"
#include "reduce/box_cut.h"
#include "reduce/color_sample.h"
#include "reduce/median_cut.h"
#include "reduce/palette_order.h"
#include "reduce/palette_refine.h"
#include "reduce/picture_psnr.h"
#include "reduce/reduce_rows.h"
#include "reduce/refine_histogram.h"

namespace {

constexpr int32_t kFewestColors = 2;
constexpr int32_t kMostColors = 256;
// The estimates' histogram: a sample of about 64 K pixels, thinned to at most 16 K colours and to a colour per
// 64 pixels of the image, so that the cuts and refinements of a whole bisection cost a small part of one save's
// (whose refinement weighs up to every colour of the image).
constexpr int64_t kEstimatePixels = int64_t{1} << 16;
constexpr int32_t kMostEstimateColors = 1 << 14;
constexpr int32_t kFewestEstimateColors = 1 << 11;
constexpr int64_t kImagePixelsPerEstimateColor = 64;

int32_t EstimateColorsFor(const WholeImageRecord& image) {
  const int64_t pixels = static_cast<int64_t>(image._WholeWidth) * image._WholeHeight;
  return static_cast<int32_t>(
      std::clamp<int64_t>(pixels / kImagePixelsPerEstimateColor, kFewestEstimateColors, kMostEstimateColors));
}

constexpr double kLastTrialMarginDb = 0.25;

// The PSNR a palette of each count would reach with every pixel on its nearest colour, estimated on a small
// histogram: the cut of the image's sample, refined where the options refine, measured as picture_psnr measures.
// Weighted by alpha, as the save then refines and matches, the colours are compared premultiplied.
class CountEstimator {
 public:
  CountEstimator(const WholeImageRecord& image, const SaveOptionsRecord& options, const FilterSettings& settings,
                 const std::function<bool()>& keepGoing)
      : options_(options),
        keepGoing_(keepGoing),
        keepsTransparency_(settings.alphaMode || settings.keyColorMode),
        composite_(image._WholePlanesIn > 3 && !options.alphaChannel && !options.useKeyColor),
        withAlpha_(PsnrBasisFor(image, settings).withAlpha),
        alphaWeighted_(settings.alphaWeighted),
        sample_(TakeColorSample(image, options.fillColor, composite_)),
        cutSample_{PageBlock(sample_.records.size()), sample_.width, sample_.height},
        histogram_(CountRefineColors(image, options.fillColor, composite_, kEstimatePixels)) {
    if (histogram_.Ready()) {
      ThinRefineHistogram(histogram_, EstimateColorsFor(image));
      if (alphaWeighted_) PremultiplyRefineColors(histogram_);
    }
    std::fill(std::begin(db_), std::end(db_), kUnknown);
  }

  // Estimated dB for a count, or -1 when it cannot be had (no memory).
  double Db(int32_t colors) {
    if (!histogram_.Ready() || histogram_.pixels <= 0) return -1;
    if (db_[colors] == kUnknown) db_[colors] = Measure(colors);
    return db_[colors];
  }

  // The fewest colours in [fewest, most] whose estimate reaches goal (the estimate rises with the count), or most.
  // Each estimate costs a cut and a refinement, so the next count is interpolated from the counts estimated on
  // either side of the goal (any earlier search's included) rather than halved; a step that does not halve the
  // range is followed by a halving one, so the search never takes more than twice a bisection's steps.
  int32_t FewestReaching(double goal, int32_t fewest, int32_t most) {
    int32_t below = 0;  // the most colours estimated under the goal, 0 for none
    int32_t above = 0;  // the fewest estimated at or above it, 0 for none
    for (int32_t colors = 1; colors <= kMostColors; ++colors) {
      if (db_[colors] == kUnknown) continue;
      if (db_[colors] >= goal) {
        above = colors;
        break;
      }
      below = colors;
    }
    if (below >= fewest) fewest = std::min(below + 1, most);
    if (above >= fewest && above < most) most = above;
    bool halve = false;
    while (fewest < most) {
      const int32_t range = most - fewest;
      const bool bracketed = below > 0 && above > 0;
      const int32_t guess = std::clamp(halve ? fewest + range / 2 : Interpolated(goal, below, above), fewest, most - 1);
      if (Db(guess) >= goal) {
        most = above = guess;
      } else {
        fewest = guess + 1;
        below = guess;
      }
      halve = !halve && bracketed && (most - fewest) * 2 > range;
    }
    return most;
  }

 private:
  static constexpr double kUnknown = -2;
  // How the estimate grows where only one side of the goal is known: about this many dB per doubling of the
  // colours (photographs and icons alike, over the counts that matter).
  static constexpr double kDbPerDoubling = 5;
  static constexpr int32_t kFirstGuess = 32;

  // The count where the estimate should reach goal, along the straight line between the estimated counts on
  // either side of it; with one side known, the other is taken kDbPerDoubling away at twice or half the count.
  // Plain arithmetic, so that every build guesses the same.
  int32_t Interpolated(double goal, int32_t below, int32_t above) const {
    if (below == 0 && above == 0) return kFirstGuess;
    int32_t low = below;
    int32_t high = above;
    double lowDb = below > 0 ? db_[below] : 0;
    double highDb = above > 0 ? db_[above] : 0;
    if (above == 0) {
      high = 2 * below;
      highDb = lowDb + kDbPerDoubling;
    } else if (below == 0) {
      low = std::max(above / 2, 1);
      lowDb = highDb - kDbPerDoubling;
    }
    const double share = (goal - lowDb) / std::max(highDb - lowDb, 1e-9);
    return low + static_cast<int32_t>(std::ceil(std::min(share, 8.0) * (high - low)));
  }

  double Measure(int32_t colors) {
    // The cut coarsens the sample it is given; each count's cut starts from the same one.
    if (!sample_.records || !cutSample_.records) return -1;
    std::memcpy(cutSample_.records.data(), sample_.records.data(), sample_.records.size());
    int32_t count = 0;
    ColorMapTable map = CutSampleColors(cutSample_, colors, &count);
    if (!map) return -1;
    const int32_t searched = keepsTransparency_ && count > 1 ? count - 1 : count;
    if (alphaWeighted_) {
      for (int32_t i = 0; i < searched; ++i) map[i] = PremultipliedEntry(map[i]);
    }
    if (options_.refinePalette) {
      const bool fixed[256] = {};
      RefineColorMap(histogram_, map.data(), searched, fixed, ReductionThreads(), keepGoing_);
    }
    double error = 0;
    const RefineColor* histogram = histogram_.Colors();
    for (int32_t i = 0; i < histogram_.entries; ++i) {
      const uint32_t color = histogram[i].color;
      const uint8_t pixel[4] = {static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
                                static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 24)};
      const AColorHistEntry& nearest = map[NearestEntry(map.data(), searched, pixel)];
      const uint8_t entry[4] = {nearest.red, nearest.green, nearest.blue, nearest.alpha};
      error += MeanSquare(pixel, entry) * histogram[i].count;
    }
    return PsnrOfMeanSquare(error / static_cast<double>(histogram_.pixels));
  }

  // One pixel's mean squared error per sample against its entry.
  double MeanSquare(const uint8_t pixel[4], const uint8_t entry[4]) const {
    if (!alphaWeighted_) {
      PsnrMeter one(withAlpha_);
      one.Add(pixel, entry);
      return one.MeanSquare();
    }
    // Both premultiplied already: RGBA as it stands.
    double total = 0;
    for (int c = 0; c < 4; ++c) {
      const double d = static_cast<double>(pixel[c]) - entry[c];
      total += d * d;
    }
    return total / 4;
  }

  // The nearest of the first `count` entries by squared RGBA distance, the lowest index on ties, as pixels match.
  static int32_t NearestEntry(const AColorHistEntry* map, int32_t count, const uint8_t pixel[4]) {
    int32_t best = 0;
    int32_t bestDistance = -1;
    for (int32_t i = 0; i < count; ++i) {
      const int32_t dr = map[i].red - pixel[0];
      const int32_t dg = map[i].green - pixel[1];
      const int32_t db = map[i].blue - pixel[2];
      const int32_t da = map[i].alpha - pixel[3];
      const int32_t distance = dr * dr + dg * dg + db * db + da * da;
      if (bestDistance < 0 || distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    }
    return best;
  }

  const SaveOptionsRecord& options_;
  const std::function<bool()>& keepGoing_;
  bool keepsTransparency_;
  bool composite_;
  bool withAlpha_;
  bool alphaWeighted_;
  ColorSample sample_;
  ColorSample cutSample_;  // a copy of the sample for each cut to work on
  RefineHistogram histogram_;
  double db_[kMostColors + 1];
};

// One count tried on the whole image: its palette and colour map as the build left them (before the fix-up,
// which the save does again), and the PSNR of its rows with the dither.
struct CountTrial {
  int32_t colors = 0;
  PaletteRecord palette;
  ColorMapTable colorMap;
  double psnr = -1;
};

bool Continues(const std::function<bool()>& keepGoing) { return !keepGoing || keepGoing(); }

}  // namespace

double QualityTargetDb(int32_t quality) { return 30.0 + 0.2 * quality; }

ReduceStatus BuildPaletteForQuality(const WholeImageRecord& image, const SaveOptionsRecord& options,
                                    const FilterSettings& settings, PaletteRecord& palette, ColorMapTable& colorMap,
                                    const std::function<bool()>& keepGoing, PaletteCountChoice& choice) {
  choice = PaletteCountChoice{};
  const double target = QualityTargetDb(settings.paletteQuality);
  const bool keepsTransparency = settings.alphaMode || settings.keyColorMode;
  // Every locked colour keeps a place of its own, beside the transparent entry.
  const int32_t fewest =
      std::clamp(LockedColorsOf(palette).count + (keepsTransparency ? 1 : 0), kFewestColors, kMostColors);
  const int32_t width = image._WholeWidth;
  const PageBlock rows(static_cast<size_t>(width) * (static_cast<size_t>(image._WholeHeight) + 2));
  CountEstimator estimator(image, options, settings, keepGoing);
  const ProgressReport stopOnly = [&](double, double) { return Continues(keepGoing); };

  std::optional<CountTrial> reached;  // the fewest colours tried that reach the target
  std::optional<CountTrial> most;     // 256 colours tried, which did not
  int32_t missedAt = fewest - 1;      // the most colours tried that miss it
  // The mean squared error the image showed beyond the estimate's, last time: mostly the dither's, which the
  // estimate (every pixel on its nearest colour) leaves out, and which a larger palette hardly lowers.
  double unestimated = 0;
  double optimism = 0;  // how far the estimate stood above the image's figure, last time, in dB
  for (int32_t trial = 0; trial < kMostCountTrials && rows; ++trial) {
    const int32_t lowest = missedAt + 1;
    const int32_t highest = reached ? reached->colors - 1 : kMostColors;
    if (lowest > highest) break;
    // Later trials aim the estimate at what leaves room for the error it did not see; after a miss with a
    // margin, so that the last trial rather reaches the target than misses it by a hair. Where nothing is left
    // for the estimate, the most colours are tried.
    double goal = target;
    if (trial > 0) {
      const double room = MeanSquareOfPsnr(target) - unestimated;
      goal = room > 0 ? (PsnrOfMeanSquare(room) + target + optimism) / 2 : kIdenticalPsnr;
      if (!reached) goal += kLastTrialMarginDb;
    }
    const int32_t colors = estimator.FewestReaching(goal, lowest, highest);
    CountTrial tried;
    tried.colors = colors;
    tried.palette = palette;
    tried.colorMap = BuildColorPaletteOf(image, options, colors, tried.palette, keepGoing);
    if (!Continues(keepGoing)) return ReduceStatus::Aborted;
    if (!tried.colorMap) break;
    PaletteRecord fixed = tried.palette;
    ColorMapTable fixedMap = tried.colorMap.Copy();
    if (!fixedMap) break;
    fixed.built = 1;
    fixed.count = fixed.builtCount;
    FixupPalette(image, options, fixed, fixedMap);
    RowSpread spread;
    spread.threads = ReductionThreads();
    const PaletteMatch match = PaletteMatchFor(settings, fixedMap.data(), fixed.count);
    const ReduceStatus status = ReduceRows(image, settings, fixed, match, rows.data(), stopOnly, spread);
    if (status == ReduceStatus::Aborted) return status;
    if (status != ReduceStatus::Ok) break;
    tried.psnr = PictureDb(image, settings, fixed, rows.data(), width);
    ++choice.trials;
    const double estimate = estimator.Db(colors);
    if (estimate >= 0 && tried.psnr < kIdenticalPsnr) {
      unestimated = MeanSquareOfPsnr(tried.psnr) - MeanSquareOfPsnr(estimate);
      optimism = estimate - tried.psnr;
    }
    if (tried.psnr >= target) {
      reached = std::move(tried);
    } else {
      missedAt = colors;
      if (colors == kMostColors) most = std::move(tried);
    }
  }

  CountTrial* kept = reached ? &*reached : most ? &*most : nullptr;
  if (kept != nullptr) {
    palette = kept->palette;
    colorMap = std::move(kept->colorMap);
    choice.psnr = kept->psnr;
  } else {
    // Nothing tried to the end (no memory for the rows): the most colours, as a Colors list of 256 would.
    colorMap = BuildColorPaletteOf(image, options, kMostColors, palette, keepGoing);
    if (!Continues(keepGoing)) {
      colorMap.Reset();
      return ReduceStatus::Aborted;
    }
  }
  if (!colorMap) return ReduceStatus::OutOfMemory;
  choice.colors = palette.builtCount;
  return ReduceStatus::Ok;
}
