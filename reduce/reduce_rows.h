#pragma once
// Schedules the rows of one reduction run: in order on the calling thread, or in bands over several threads with
// the noise sequence's start of each band and the nearest-colour answers the bands share.
#include <cstdint>

#include "base/progress.h"
#include "records/palette.h"
#include "records/whole_image.h"
#include "reduce/filter_settings.h"
#include "reduce/reduce_status.h"

// How ReduceRows spreads its rows: over `threads` threads in bands of `bandRows` rows (0: a size chosen for the
// width). One thread, or the Palette type of an RGB image with Diffusion, goes row by row on the calling thread.
struct RowSpread {
  int32_t threads = 1;
  int32_t bandRows = 0;
};

// Writes every row of the image into pixels (rows of _WholeWidth × bytesPerPixel bytes), the same bytes however
// the rows are spread, and reports the rows done against 2 × height (the last row done, from 0) on the calling
// thread: after each row in order, after bands as they finish otherwise. Stops with Aborted when the report
// answers false. Not all rows are written when the status is not Ok.
[[nodiscard]] ReduceStatus ReduceRows(const WholeImageRecord& image, const FilterSettings& settings,
                                      const PaletteRecord& palette, const PaletteMatch& match, uint8_t* pixels,
                                      const ProgressReport& progress, const RowSpread& spread = RowSpread());
