#include "ui/refresh_job.h"

#include <utility>

#include "base/progress.h"
#include "reduce/filter_settings.h"
#include "reduce/picture_psnr.h"
#include "reduce/reduce_filter.h"

RefreshJob::RefreshJob(RefreshSnapshot snapshot, ReducedImageRecord rowsBuffer, platform::WidePath pngPath)
    : snapshot_(std::move(snapshot)) {
  result_.rows = rowsBuffer;
  result_.pngPath = std::move(pngPath);
  if (Reduces()) {
    // The reduction prepares the palette and its map in place, in the result; the snapshot's map moves there.
    result_.palette = snapshot_.palette;
    result_.colorMap = std::move(snapshot_.colorMap);
  } else {
    encoding_ = PngWriteJobFor(*snapshot_.image, snapshot_.options, snapshot_.palette, *snapshot_.rowsToEncode,
                               snapshot_.image16);
  }
}

RefreshJob::~RefreshJob() {
  if (pngOwned_) platform::DeleteFilePath(result_.pngPath);
  FreeReducedImagePixels(result_.rows);
}

void RefreshJob::Run(NewestRequestWorker::Reports& reports) {
  const ProgressReport report = [&reports](double done, double total) {
    if (reports.Stopped()) return false;
    reports.Progress(done < 0 ? 0 : static_cast<int32_t>(done), static_cast<int32_t>(total));
    return true;
  };
  PngWriteJob encoding = encoding_;
  // Once handed over, the records hold the rows and the owner's thread may move the record, never the pixels.
  ReducedImageRecord madeRows;
  // The rows and palette the file is made of, kept to measure it by once it is written.
  const ReducedImageRecord* rows = snapshot_.rowsToEncode;
  const PaletteRecord* palette = &snapshot_.palette;
  if (Reduces()) {
    const ReductionRecords records{*snapshot_.image, snapshot_.options, result_.palette, result_.colorMap,
                                   result_.rows};
    // A reduction that did not end well has no rows to show and nothing to encode.
    if (ReduceImage(records, report, nullptr) != ReduceStatus::Ok) return;
    // Taken before the rows are handed over: from then on the owner's thread moves the record they are in.
    encoding = PngWriteJobFor(*snapshot_.image, snapshot_.options, result_.palette, result_.rows, snapshot_.image16);
    madeRows = result_.rows;
    rows = &madeRows;
    palette = &result_.palette;
    result_.rowsMade = true;
    reports.Milestone(kRowsMade);
  }
  result_.size = EncodePngFile(result_.pngPath, encoding, report).size;
  if (result_.size <= 0 || reports.Stopped()) return;
  const WholeImageRecord& image = *snapshot_.image;
  result_.psnr = PictureDb(image, FilterSettingsFor(image, snapshot_.options), *palette, rows->pixels, rows->rowBytes);
}
