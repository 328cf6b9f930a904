#include "png/row_filters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "png/deflate_bands.h"

namespace {

// kDeflateCost: how much of the rows before a row its trials compress with it, and how hard.
constexpr size_t kDeflateContext = 16 * 1024;
constexpr int kTrialLevel = 1;

uint8_t Paeth(int32_t left, int32_t up, int32_t upLeft) {
  const int32_t estimate = left + up - upLeft;
  const int32_t toLeft = std::abs(estimate - left);
  const int32_t toUp = std::abs(estimate - up);
  const int32_t toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<uint8_t>(left);
  return static_cast<uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// The value filter `filter` predicts for byte i of a row from the bytes before it and the row above.
uint8_t Prediction(int filter, const uint8_t* row, const uint8_t* above, size_t i, size_t step) {
  const int32_t left = i >= step ? row[i - step] : 0;
  const int32_t up = above[i];
  const int32_t upLeft = i >= step ? above[i - step] : 0;
  switch (filter) {
    case 1: return static_cast<uint8_t>(left);
    case 2: return static_cast<uint8_t>(up);
    case 3: return static_cast<uint8_t>((left + up) / 2);
    case 4: return Paeth(left, up, upLeft);
    default: return 0;
  }
}

uint64_t SumOfDifferences(const uint8_t* filtered, size_t size) {
  uint64_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(filtered[i])));
  return sum;
}

// log2(value) in 16-bit fixed point, for value >= 1, by integer arithmetic alone: every build chooses the same
// filters, so every build writes the same bytes.
uint64_t FixedLog2(uint64_t value) {
  uint64_t whole = 0;
  while (value >= (uint64_t{2} << whole)) ++whole;
  // The fraction bit by bit: square the mantissa (1.31 fixed point), a bit is set when it reaches 2.
  uint64_t mantissa = (value << 31) >> whole;
  uint64_t fraction = 0;
  for (int bit = 15; bit >= 0; --bit) {
    mantissa = (mantissa * mantissa) >> 31;
    if (mantissa >= (uint64_t{2} << 31)) {
      mantissa >>= 1;
      fraction |= uint64_t{1} << bit;
    }
  }
  return whole << 16 | fraction;
}

// The bits an ideal coder of the bytes' own frequencies would take, in 16-bit fixed point.
uint64_t SpreadBits(const uint8_t* filtered, size_t size) {
  uint32_t counts[256] = {};
  for (size_t i = 0; i < size; ++i) ++counts[filtered[i]];
  const uint64_t all = FixedLog2(size);
  uint64_t bits = 0;
  for (const uint32_t count : counts) {
    if (count > 0) bits += count * (all - FixedLog2(count));
  }
  return bits;
}

}  // namespace

RowFilterer::RowFilterer(const PngLayout& layout, int32_t width, FilterStrategy strategy, bool predictClear)
    : strategy_(strategy),
      rowBytes_(layout.RowBytes(width)),
      step_(layout.FilterStep()),
      alphaOffset_(predictClear ? layout.AlphaOffset() : -1),
      channels_(layout.Channels()),
      above_(rowBytes_, 0) {
  const int trials = strategy >= FilterStrategy::kMinimumSum ? 5 : 1;
  for (int f = 0; f < trials; ++f) {
    trial_[f].resize(rowBytes_);
    trialOut_[f].resize(rowBytes_ + 1);
  }
}

void RowFilterer::Restart(const uint8_t* above) {
  if (above != nullptr) {
    std::copy(above, above + rowBytes_, above_.begin());
  } else {
    std::fill(above_.begin(), above_.end(), uint8_t{0});
  }
  recent_.clear();
}

void RowFilterer::Predict(int filter, uint8_t* row) const {
  if (alphaOffset_ < 0) return;
  const size_t step = static_cast<size_t>(step_);
  for (size_t pixel = 0; pixel + step <= rowBytes_; pixel += step) {
    if (row[pixel + static_cast<size_t>(alphaOffset_)] != 0) continue;
    // A fully transparent pixel: its colour is whatever the filter expects, so that it costs nothing.
    for (int32_t channel = 0; channel < channels_; ++channel) {
      if (channel == alphaOffset_) continue;
      const size_t i = pixel + static_cast<size_t>(channel);
      row[i] = Prediction(filter, row, above_.data(), i, step);
    }
  }
}

void RowFilterer::Apply(int filter, const uint8_t* row, uint8_t* out) const {
  out[0] = static_cast<uint8_t>(filter);
  uint8_t* filtered = out + 1;
  const uint8_t* up = above_.data();
  const size_t size = rowBytes_;
  const size_t step = std::min(static_cast<size_t>(step_), size);
  // One loop per filter: this runs over every byte of the image once per filter tried.
  switch (filter) {
    case 1:
      std::copy(row, row + step, filtered);
      for (size_t i = step; i < size; ++i) filtered[i] = static_cast<uint8_t>(row[i] - row[i - step]);
      return;
    case 2:
      for (size_t i = 0; i < size; ++i) filtered[i] = static_cast<uint8_t>(row[i] - up[i]);
      return;
    case 3:
      for (size_t i = 0; i < step; ++i) filtered[i] = static_cast<uint8_t>(row[i] - (up[i] >> 1));
      for (size_t i = step; i < size; ++i) {
        filtered[i] = static_cast<uint8_t>(row[i] - ((row[i - step] + up[i]) >> 1));
      }
      return;
    case 4:
      for (size_t i = 0; i < step; ++i) filtered[i] = static_cast<uint8_t>(row[i] - up[i]);
      for (size_t i = step; i < size; ++i) {
        filtered[i] = static_cast<uint8_t>(row[i] - Paeth(row[i - step], up[i], up[i - step]));
      }
      return;
    default: std::copy(row, row + size, filtered); return;
  }
}

int RowFilterer::Choose(uint8_t* row) {
  int best = 0;
  uint64_t bestCost = UINT64_MAX;
  for (int filter = 0; filter < 5; ++filter) {
    std::vector<uint8_t>& trial = trial_[filter];
    std::copy(row, row + rowBytes_, trial.begin());
    Predict(filter, trial.data());
    Apply(filter, trial.data(), trialOut_[filter].data());
    const uint8_t* filtered = trialOut_[filter].data() + 1;
    uint64_t cost = 0;
    switch (strategy_) {
      case FilterStrategy::kMinimumSum: cost = SumOfDifferences(filtered, rowBytes_); break;
      case FilterStrategy::kEntropy: cost = SpreadBits(filtered, rowBytes_); break;
      default: {
        std::vector<uint8_t> context(recent_);
        context.insert(context.end(), trialOut_[filter].begin(), trialOut_[filter].end());
        cost = ZlibStreamSize(context.data(), context.size(), kTrialLevel).value_or(UINT64_MAX);
        break;
      }
    }
    if (cost < bestCost) {
      bestCost = cost;
      best = filter;
    }
  }
  std::copy(trial_[best].begin(), trial_[best].end(), row);
  return best;
}

void RowFilterer::Filter(uint8_t* row, uint8_t* out) {
  if (strategy_ < FilterStrategy::kMinimumSum) {
    const int filter = static_cast<int>(strategy_);
    Predict(filter, row);
    Apply(filter, row, out);
  } else {
    const int filter = Choose(row);
    std::copy(trialOut_[filter].begin(), trialOut_[filter].end(), out);
    if (strategy_ == FilterStrategy::kDeflateCost) {
      recent_.insert(recent_.end(), out, out + rowBytes_ + 1);
      if (recent_.size() > kDeflateContext) recent_.erase(recent_.begin(), recent_.end() - kDeflateContext);
    }
  }
  std::copy(row, row + rowBytes_, above_.begin());
}
