#pragma once
// Reduces an image into the rows of the PNG for a set of options (and, for the Palette type, a palette): the
// entry points over the stages in filter_settings, palette_prepare, reduce_rows and row_converter.
#include "base/progress.h"
#include "records/color_map.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/filter_settings.h"
#include "reduce/reduce_rows.h"
#include "reduce/reduce_status.h"

// What one reduction reads and writes: the image and the options it reads, the palette and colour map it
// prepares (the map is replaced when the palette is built anew), the rows it writes.
struct ReductionRecords {
  const WholeImageRecord& image;
  const SaveOptionsRecord& options;
  PaletteRecord& palette;
  ColorMapTable& colorMap;
  ReducedImageRecord& reduced;
};

// Prepares the palette where the type asks for one (the gray ramp, or a median cut when the palette is not
// built) and calls paletteReady (when given) once it is, then writes every row, reporting each. The reduced
// record is marked stale unless every row was written.
[[nodiscard]] ReduceStatus ReduceImage(const ReductionRecords& records, const ProgressReport& progress,
                                       void (*paletteReady)());

// ReduceImage over the process-wide WholeImage, SaveOptions, Palette, ColorMap and ReducedImage, reporting
// through Progress and telling a palette view of a prepared palette; the status says how the run ended.
ReduceStatus DoFilter();
