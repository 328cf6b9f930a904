#pragma once
// Lloyd's k-means over a colour histogram: each colour that may move goes to the weighted mean of the histogram
// colours nearest to it, again and again until the error stops improving by much. Nearest means what the
// pixels' matching means (squared RGBA distance, the lowest index on ties), so the error it lowers is the one
// the image will show. Weighted by alpha, it is handed premultiplied colours (alpha_weight.h) and measures among
// those.
#include <cstdint>
#include <functional>

#include "records/color_map.h"
#include "reduce/refine_histogram.h"

// Passes over the histogram at most, and the least gain (a fraction 1 / kRefineGainDivisor of the error) worth
// another one. A histogram of very many colours (a noisy photo) gets fewer passes: about kRefineColorPasses
// histogram colours visited in all, but never fewer than kFewestRefinePasses passes.
constexpr int32_t kMostRefinePasses = 80;
constexpr int32_t kFewestRefinePasses = 12;
constexpr int64_t kRefineColorPasses = int64_t{1} << 24;
constexpr int64_t kRefineGainDivisor = 2000;

// The passes the refinement may make over a histogram of this many colours.
constexpr int32_t RefinePassesFor(int64_t colors) {
  const int64_t passes = colors > 0 ? kRefineColorPasses / colors : kMostRefinePasses;
  return static_cast<int32_t>(passes < kFewestRefinePasses ? kFewestRefinePasses
                              : passes > kMostRefinePasses ? kMostRefinePasses
                                                           : passes);
}

struct RefineOutcome {
  int64_t errorBefore = 0;  // Σ count × squared distance to the nearest colour, before and after
  int64_t errorAfter = 0;
  int32_t passes = 0;
  bool done = false;  // false: no memory, or keepGoing said stop; the colours are then as they were
};

// Refines colorMap[0 .. count) in place (red, green, blue, alpha; the other bytes stay). `fixed[i]` keeps entry
// i where it is, though pixels still go to it. The error never rises: the colours returned are the best of the
// passes. keepGoing, when given, is asked between pieces of work on the calling thread. At most 256 colours.
RefineOutcome RefineColorMap(const RefineHistogram& histogram, AColorHistEntry* colorMap, int32_t count,
                             const bool* fixed, int32_t threads, const std::function<bool()>& keepGoing = {});
