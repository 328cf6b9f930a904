#pragma once
// The colours the palette refinement weighs: every distinct RGBA value of a large, even sample of the image,
// with the number of sample pixels that hold it.
#include <cstdint>

#include "base/page_block.h"
#include "records/whole_image.h"

// The whole image up to this many pixels; larger images are decimated evenly down to about this many.
constexpr int64_t kRefineSamplePixels = int64_t{1} << 21;

struct RefineColor {
  uint32_t color;  // red | green << 8 | blue << 16 | alpha << 24
  uint32_t count;
};

struct RefineHistogram {
  PageBlock slots;  // RefineColor each; the first `entries` are the colours, in no particular order
  int32_t entries = 0;
  int64_t pixels = 0;  // the sample pixels counted

  bool Ready() const { return static_cast<bool>(slots); }
  const RefineColor* Colors() const { return slots.As<const RefineColor>(); }
};

// Histograms beyond this many colours (noise, film grain) are thinned to about this many.
constexpr int32_t kMostRefineColors = 1 << 19;

// Sample pixels as the median cut's sample takes them (composited over the fill colour with `composite`).
// Transparent pixels (alpha 0) are left out, as the cut leaves them out. Not Ready when memory runs out.
RefineHistogram CountRefineColors(const WholeImageRecord& image, int32_t fillColor, bool composite,
                                  int64_t mostPixels = kRefineSamplePixels);

// Leaves about `mostColors` colours: with n times too many, the colours held by fewer than n pixels (in a noisy
// image nearly all of them) are replaced by every n-th of them, each standing for n times its pixels. Colours
// common enough to matter on their own stay as they are.
void ThinRefineHistogram(RefineHistogram& histogram, int32_t mostColors = kMostRefineColors);

// Turns every colour into its premultiplied form (alpha_weight.h), so that the refinement's distances, means and
// errors are weighted by alpha. Colours that become alike stay separate entries; their counts are not merged.
void PremultiplyRefineColors(RefineHistogram& histogram);
