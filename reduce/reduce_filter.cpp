#include "reduce/reduce_filter.h"

#include "base/callouts.h"
#include "base/debug_log.h"
#include "base/row_bands.h"
#include "reduce/palette_prepare.h"

ReduceStatus ReduceImage(const ReductionRecords& records, const ProgressReport& progress, void (*paletteReady)()) {
  DebugLog("DoFilter Start");
  const WholeImageRecord& image = records.image;
  const FilterSettings settings = FilterSettingsFor(image, records.options);
  if (!PrepareReducedImage(records.reduced, image._WholeWidth, image._WholeHeight, settings.bytesPerPixel)) {
    DebugLog("DoFilter: no memory for the reduced image");
    records.reduced.stale = true;
    return ReduceStatus::OutOfMemory;
  }

  // Once the report has said stop it is not asked again: the host would hear of the stop twice.
  bool stopAsked = false;
  const auto keepGoing = [&] {
    if (!stopAsked && progress) stopAsked = !progress(0, 2.0 * image._WholeHeight);
    return !stopAsked;
  };
  PaletteMatch match;
  if (PreparePalette(image, records.options, settings, records.palette, records.colorMap, keepGoing, paletteReady,
                     match) == ReduceStatus::Aborted) {
    records.reduced.stale = true;
    return ReduceStatus::Aborted;
  }

  RowSpread spread;
  spread.threads = ReductionThreads();
  const ReduceStatus status =
      ReduceRows(image, settings, records.palette, match, records.reduced.pixels, progress, spread);
  records.reduced.stale = status != ReduceStatus::Ok;
  if (status == ReduceStatus::Ok) DebugLog("DoFilter End");
  return status;
}

ReduceStatus DoFilter() {
  const ReductionRecords records{ImageToReduce(SaveOptions.convertToSrgb != 0), SaveOptions, Palette, ColorMap,
                                 ReducedImage};
  return ReduceImage(records, Progress, CalloutPaletteViewRefresh);
}
