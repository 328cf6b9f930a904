#include "reduce/palette_refine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/row_bands.h"
#include "reduce/palette_lookup.h"

namespace {

constexpr int32_t kMostColors = 256;
constexpr int32_t kColorsPerBand = 1 << 16;
// Passes in a row that may fail to beat the best before a descent gives up (rounding the means to whole
// levels makes the error wobble near the end).
constexpr int32_t kMostStalls = 3;

// What one thread gathers in a pass, per colour: the histogram's weighted channel sums and sums of squares, the
// weight and the weighted squared error. Integers throughout, so the totals do not depend on how the work was
// split.
struct PassSums {
  int64_t channel[kMostColors][4];
  int64_t squares[kMostColors][4];
  int64_t weight[kMostColors];
  int64_t error[kMostColors];
  int64_t total;

  void Clear() { std::memset(this, 0, sizeof *this); }
  void Add(const PassSums& other) {
    for (int32_t i = 0; i < kMostColors; ++i) {
      for (int c = 0; c < 4; ++c) {
        channel[i][c] += other.channel[i][c];
        squares[i][c] += other.squares[i][c];
      }
      weight[i] += other.weight[i];
      error[i] += other.error[i];
    }
    total += other.total;
  }
};

inline int32_t Channel(uint32_t color, int c) { return static_cast<int32_t>(color >> (8 * c) & 0xFF); }

inline uint8_t& ChannelOf(AColorHistEntry& entry, int c) {
  return c == 0 ? entry.red : c == 1 ? entry.green : c == 2 ? entry.blue : entry.alpha;
}

// The matching's own distance: refined colours are the best for the lookup that will use them.
inline int64_t SquaredDistance(const AColorHistEntry& a, const AColorHistEntry& b) {
  return MatchDistance(a, b.red, b.green, b.blue, b.alpha);
}

// One pass: every histogram colour to its nearest colour, the sums of what each colour drew.
class Passes {
 public:
  Passes(const RefineHistogram& histogram, int32_t threads, const std::function<bool()>& keepGoing)
      : histogram_(histogram), threads_(std::max(threads, 1)), keepGoing_(keepGoing) {}

  bool Start() {
    nearest_ = PageBlock(static_cast<size_t>(std::max(histogram_.entries, 1)));
    sums_.reset(new (std::nothrow) PassSums[static_cast<size_t>(threads_)]);
    return nearest_ && sums_ != nullptr;
  }

  // False when stopped or out of memory.
  bool Run(const AColorHistEntry* colors, int32_t count, PassSums& total) {
    PaletteLookup lookup(colors, count, false);
    if (!lookup.Ready()) return false;
    // A colour nearer to c than half the way to c's nearest neighbour has c as its one nearest colour.
    int64_t halfGapSquared[kMostColors];
    for (int32_t i = 0; i < count; ++i) {
      int64_t nearest = INT64_MAX;
      for (int32_t j = 0; j < count; ++j) {
        if (j != i) nearest = std::min(nearest, SquaredDistance(colors[i], colors[j]));
      }
      halfGapSquared[i] = nearest;  // d < gap / 2 is 4 d² < gap²
    }
    for (int32_t worker = 0; worker < threads_; ++worker) sums_[worker].Clear();
    const RefineColor* entries = histogram_.Colors();
    uint8_t* nearest = nearest_.data();
    RowBands bands;
    bands.height = histogram_.entries;
    bands.bandRows = kColorsPerBand;
    bands.threads = threads_;
    const bool finished = RunRowBands(
        bands,
        [&](int32_t worker, int32_t first, int32_t end) {
          PassSums& sums = sums_[worker];
          for (int32_t i = first; i < end; ++i) {
            const uint32_t color = entries[i].color;
            const int32_t value[4] = {Channel(color, 0), Channel(color, 1), Channel(color, 2), Channel(color, 3)};
            int32_t index = nearest[i];
            int64_t distance = Distance(value, colors[index]);
            if (4 * distance >= halfGapSquared[index]) {
              // The last pass's answer is usually this pass's too: a tight bound to start the search with.
              index = lookup.Nearest(static_cast<uint8_t>(value[0]), static_cast<uint8_t>(value[1]),
                                     static_cast<uint8_t>(value[2]), static_cast<uint8_t>(value[3]), index);
              nearest[i] = static_cast<uint8_t>(index);
              distance = Distance(value, colors[index]);
            }
            const int64_t weight = entries[i].count;
            for (int c = 0; c < 4; ++c) {
              sums.channel[index][c] += weight * value[c];
              sums.squares[index][c] += weight * value[c] * value[c];
            }
            sums.weight[index] += weight;
            sums.error[index] += weight * distance;
            sums.total += weight * distance;
          }
        },
        [this](int32_t) { return !keepGoing_ || keepGoing_(); });
    if (!finished) return false;
    total.Clear();
    for (int32_t worker = 0; worker < threads_; ++worker) total.Add(sums_[worker]);
    return true;
  }

 private:
  static int64_t Distance(const int32_t value[4], const AColorHistEntry& to) {
    return MatchDistance(to, value[0], value[1], value[2], value[3]);
  }

  const RefineHistogram& histogram_;
  const int32_t threads_;
  const std::function<bool()>& keepGoing_;
  PageBlock nearest_;  // each histogram colour's nearest colour in the last pass
  std::unique_ptr<PassSums[]> sums_;
};

// Each movable colour to the rounded weighted mean of what it drew; false when none moved.
bool MoveToMeans(const PassSums& sums, AColorHistEntry* colors, int32_t count, const bool* fixed) {
  bool moved = false;
  for (int32_t i = 0; i < count; ++i) {
    const int64_t weight = sums.weight[i];
    if (fixed[i] || weight == 0) continue;
    for (int c = 0; c < 4; ++c) {
      const auto mean = static_cast<uint8_t>((sums.channel[i][c] + weight / 2) / weight);
      moved = moved || mean != ChannelOf(colors[i], c);
      ChannelOf(colors[i], c) = mean;
    }
  }
  return moved;
}

// k-means settles where no single colour can move to a better place, which is often not where the colours are
// best shared out: a colour that costs little to lose is taken from where it hardly matters and put beside the
// one that draws the most error, split along its widest channel. Pairs are made while losing the colour costs
// less than half the error it is sent to share. False when no pair is worth making.
bool ShareOut(const PassSums& sums, AColorHistEntry* colors, int32_t count, const bool* fixed) {
  // What losing each movable colour costs: its weight, merged into its nearest other colour.
  std::vector<std::pair<int64_t, int32_t>> cheap;
  for (int32_t i = 0; i < count; ++i) {
    if (fixed[i]) continue;
    int64_t cost = 0;
    if (sums.weight[i] > 0) {
      int64_t nearest = INT64_MAX;
      int32_t other = -1;
      for (int32_t j = 0; j < count; ++j) {
        if (j == i) continue;
        const int64_t distance = SquaredDistance(colors[i], colors[j]);
        if (distance < nearest) {
          nearest = distance;
          other = j;
        }
      }
      if (other < 0) continue;
      const int64_t w = sums.weight[i], v = sums.weight[other];
      cost = v > 0 ? w * v / (w + v) * nearest + sums.error[i] / 4 : w * nearest;
    }
    cheap.emplace_back(cost, i);
  }
  std::vector<std::pair<int64_t, int32_t>> worst;
  for (int32_t i = 0; i < count; ++i) {
    if (sums.weight[i] > 1) worst.emplace_back(sums.error[i], i);
  }
  std::sort(cheap.begin(), cheap.end());
  std::sort(worst.begin(), worst.end(),
            [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });

  bool used[kMostColors] = {};
  const size_t mostPairs = std::max<size_t>(1, static_cast<size_t>(count) / 4);
  size_t pairs = 0;
  size_t next = 0;
  for (const auto& [error, target] : worst) {
    if (pairs == mostPairs) break;
    if (used[target]) continue;
    while (next < cheap.size() && (used[cheap[next].second] || cheap[next].second == target)) ++next;
    if (next == cheap.size() || cheap[next].first * 2 >= error) break;
    const int32_t moved = cheap[next++].second;
    used[moved] = used[target] = true;
    // Around the target's mean, a standard deviation either way along its widest channel.
    const int64_t weight = sums.weight[target];
    int widest = 0;
    double widestVariance = -1.0;
    double mean[4];
    for (int c = 0; c < 4; ++c) {
      mean[c] = static_cast<double>(sums.channel[target][c]) / static_cast<double>(weight);
      const double variance =
          static_cast<double>(sums.squares[target][c]) / static_cast<double>(weight) - mean[c] * mean[c];
      if (variance > widestVariance) {
        widestVariance = variance;
        widest = c;
      }
    }
    const double spread = std::sqrt(std::max(widestVariance, 0.0));
    for (int c = 0; c < 4; ++c) ChannelOf(colors[moved], c) = ChannelOf(colors[target], c);
    const auto level = [](double value) { return static_cast<uint8_t>(std::clamp(value + 0.5, 0.0, 255.0)); };
    ChannelOf(colors[moved], widest) = level(mean[widest] + spread);
    if (!fixed[target]) ChannelOf(colors[target], widest) = level(mean[widest] - spread);
    ++pairs;
  }
  return pairs > 0;
}

class Refinement {
 public:
  Refinement(const RefineHistogram& histogram, int32_t count, const bool* fixed, int32_t threads,
             const std::function<bool()>& keepGoing)
      : passes_(histogram, threads, keepGoing),
        count_(count),
        fixed_(fixed),
        mostPasses_(RefinePassesFor(histogram.entries)) {}

  // False when out of memory or stopped.
  bool Start(const AColorHistEntry* colorMap) {
    sums_.reset(new (std::nothrow) PassSums);
    bestSums_.reset(new (std::nothrow) PassSums);
    if (!passes_.Start() || sums_ == nullptr || bestSums_ == nullptr) return false;
    working_.assign(colorMap, colorMap + count_);
    if (!passes_.Run(working_.data(), count_, *sums_)) return false;
    best_ = working_;
    *bestSums_ = *sums_;
    return true;
  }

  // k-means from the working colours until it settles; true when it found better colours than the best.
  bool Descend(bool& stopped) {
    bool improved = false;
    int32_t stalls = 0;
    while (PassesLeft() && MoveToMeans(*sums_, working_.data(), count_, fixed_)) {
      if (!passes_.Run(working_.data(), count_, *sums_)) {
        stopped = true;
        return improved;
      }
      ++passesRun_;
      if (sums_->total >= bestSums_->total) {
        if (++stalls == kMostStalls) break;
        continue;
      }
      stalls = 0;
      const int64_t gain = bestSums_->total - sums_->total;
      Keep();
      improved = true;
      if (gain * kRefineGainDivisor < bestSums_->total) break;
    }
    return improved;
  }

  // Shares the best colours out again and runs k-means from there; false when there was nothing to share out.
  bool Reshuffle(bool& stopped) {
    working_ = best_;
    if (!ShareOut(*bestSums_, working_.data(), count_, fixed_)) return false;
    if (!passes_.Run(working_.data(), count_, *sums_)) {
      stopped = true;
      return false;
    }
    ++passesRun_;
    if (sums_->total < bestSums_->total) Keep();
    return true;
  }

  bool PassesLeft() const { return passesRun_ < mostPasses_; }
  int32_t PassesRun() const { return passesRun_; }
  int64_t BestError() const { return bestSums_->total; }
  const std::vector<AColorHistEntry>& Best() const { return best_; }

 private:
  void Keep() {
    best_ = working_;
    *bestSums_ = *sums_;
  }

  Passes passes_;
  const int32_t count_;
  const bool* fixed_;
  const int32_t mostPasses_;
  std::vector<AColorHistEntry> working_;
  std::vector<AColorHistEntry> best_;
  std::unique_ptr<PassSums> sums_;
  std::unique_ptr<PassSums> bestSums_;
  int32_t passesRun_ = 0;
};

}  // namespace

RefineOutcome RefineColorMap(const RefineHistogram& histogram, AColorHistEntry* colorMap, int32_t count,
                             const bool* fixed, int32_t threads, const std::function<bool()>& keepGoing) {
  RefineOutcome outcome;
  count = std::min(count, kMostColors);
  if (!histogram.Ready() || count <= 0) return outcome;
  if (histogram.entries == 0) {
    outcome.done = true;  // nothing to move towards
    return outcome;
  }

  Refinement refinement(histogram, count, fixed, threads, keepGoing);
  if (!refinement.Start(colorMap)) return outcome;
  outcome.errorBefore = refinement.BestError();
  // The cut gives colours to boxes by their pixels, not by their error: share them out before the first descent.
  bool stopped = false;
  refinement.Reshuffle(stopped);
  if (!stopped) refinement.Descend(stopped);
  while (!stopped && refinement.PassesLeft()) {
    const int64_t before = refinement.BestError();
    if (!refinement.Reshuffle(stopped) || stopped) break;
    refinement.Descend(stopped);
    if (refinement.BestError() >= before) break;
  }
  if (stopped) return outcome;

  for (int32_t i = 0; i < count; ++i) {
    const AColorHistEntry& best = refinement.Best()[static_cast<size_t>(i)];
    colorMap[i].red = best.red;
    colorMap[i].green = best.green;
    colorMap[i].blue = best.blue;
    colorMap[i].alpha = best.alpha;
  }
  outcome.errorAfter = refinement.BestError();
  outcome.passes = refinement.PassesRun();
  outcome.done = true;
  return outcome;
}
