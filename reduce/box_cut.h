#pragma once
// The cut itself: the sample's colours counted into a histogram, the histogram split into boxes at the pixel
// median of their widest channel, and each box averaged into one colour of a new colour map.
#include <cstdint>

#include "records/color_map.h"
#include "reduce/color_sample.h"

// Cuts the histogram into n boxes; a colour map of n + 1 entries, empty when memory runs out.
ColorMapTable SplitColorBoxes(AColorHistEntry* histogram, int32_t colors, int32_t pixelTotal, int32_t maxval,
                              int32_t wanted);

// The colour map of at most `wanted` colours (and one entry more) for the sample; *count says how many it made. A
// sample with more distinct colours than a histogram holds is coarsened until it fits, and the colours are scaled back
// to 0..255. A sample whose every pixel is transparent gives one transparent black entry. Empty when memory
// runs out.
ColorMapTable CutSampleColors(ColorSample& sample, int32_t wanted, int32_t* count);
