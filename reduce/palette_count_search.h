#pragma once
// The Palette Quality: the fewest colours (2 to 256) whose palette, made as the options make it (refined with
// Refine Palette, the median cut's without) and matched with the dither set, reaches 30 + 0.2 x quality dB of
// PSNR against the image (picture_psnr); 256 where 256 colours do not reach it.
//
// The palette the options make, not always a refined one: the file holds that palette, so a count found for
// another would miss the target or waste colours, and Refine Palette keeps its meaning (off is faster; the
// quality then takes more colours).
//
// Cost: estimates on a small histogram of the image (cut, refinement where on, and the error of nearest colours,
// one per count a bisection asks for), then at most two counts tried on the whole image with the dither, each
// a palette build and a pass over the rows. The best count tried is kept, palette and colour map, so the save
// builds nothing more; only where neither reached the target is the palette of 256 built after them.
#include <cstdint>
#include <functional>

#include "records/color_map.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/filter_settings.h"
#include "reduce/reduce_status.h"

// The PSNR, in dB, that a quality of 1..100 asks for.
double QualityTargetDb(int32_t quality);

// Tried on the whole image at most this many counts.
constexpr int32_t kMostCountTrials = 2;

struct PaletteCountChoice {
  int32_t colors = 256;
  double psnr = -1;  // measured on the whole image with the dither; -1 when the count was not tried
  int32_t trials = 0;
};

// Builds into palette and colorMap the palette of the count chosen for settings.paletteQuality (the palette's
// locked colours stay, and the count never drops below what they and a transparent entry need), as
// BuildColorPalette does for the Colors list's count. keepGoing is asked between pieces of work: Aborted, with
// no colour map, once it answers false. OutOfMemory when no palette could be built.
[[nodiscard]] ReduceStatus BuildPaletteForQuality(const WholeImageRecord& image, const SaveOptionsRecord& options,
                                                  const FilterSettings& settings, PaletteRecord& palette,
                                                  ColorMapTable& colorMap, const std::function<bool()>& keepGoing,
                                                  PaletteCountChoice& choice);
