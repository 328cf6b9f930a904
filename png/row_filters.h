#pragma once
// The PNG row filters (none, sub, up, average, Paeth) and the ways of choosing one per row: one filter for every
// row, or per row the smallest sum of differences, the fewest bits by the bytes' spread, or the smallest deflate
// of the row after the rows before it. Where the layout has an alpha channel, a fully transparent pixel's colour
// may be set to what its filter predicts, so that its colour costs nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "png/png_layout.h"

enum class FilterStrategy : uint8_t {
  kNone,
  kSub,
  kUp,
  kAverage,
  kPaeth,
  kMinimumSum,   // per row: the smallest sum of the differences taken as signed bytes
  kEntropy,      // per row: the fewest bits the filtered bytes' spread asks for
  kDeflateCost,  // per row: the smallest deflate of the row after the rows before it (slow: small images only)
};
constexpr int kFilterStrategies = 8;

// Filters one image's rows in order, top to bottom, remembering the row above.
class RowFilterer {
 public:
  // With `predictClear`, fully transparent pixels take the colour their filter predicts; without, they keep theirs.
  RowFilterer(const PngLayout& layout, int32_t width, FilterStrategy strategy, bool predictClear);
  RowFilterer(const RowFilterer&) = delete;
  RowFilterer& operator=(const RowFilterer&) = delete;

  // Starts again as at the top of an image, or after `above` (a row of the layout, unfiltered, or null for none).
  void Restart(const uint8_t* above);
  // Filters `row` (unfiltered; its fully transparent pixels' colours may change to the chosen filter's
  // prediction) into `out`: the filter type byte, then rowBytes filtered bytes.
  void Filter(uint8_t* row, uint8_t* out);

 private:
  void Predict(int filter, uint8_t* row) const;
  void Apply(int filter, const uint8_t* row, uint8_t* out) const;
  int Choose(uint8_t* row);

  const FilterStrategy strategy_;
  const size_t rowBytes_;
  const int32_t step_;
  const int32_t alphaOffset_;  // -1 when clear pixels keep their colours
  const int32_t channels_;
  std::vector<uint8_t> above_;     // the row above, as written (transparent colours as chosen)
  std::vector<uint8_t> trial_[5];  // the row as each filter would write it, and its filtered bytes
  std::vector<uint8_t> trialOut_[5];
  std::vector<uint8_t> recent_;  // kDeflateCost: the last filtered rows, for the next row's trials
};
