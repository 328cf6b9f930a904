#include "ui/refresh_job.h"

#include <utility>

#include "base/progress.h"
#include "reduce/reduce_filter.h"

RefreshJob::RefreshJob(RefreshSnapshot snapshot) : snapshot_(std::move(snapshot)) {}

RefreshJob::~RefreshJob() {
  if (pngOwned_) platform::DeleteFilePath(snapshot_.pngPath);
  FreeReducedImagePixels(snapshot_.rows);
}

void RefreshJob::Run(NewestRequestWorker::Reports& reports) {
  const ProgressReport report = [&reports](double done, double total) {
    if (reports.Stopped()) return false;
    reports.Progress(done < 0 ? 0 : static_cast<int32_t>(done), static_cast<int32_t>(total));
    return true;
  };
  RefreshSnapshot& work = snapshot_;
  PngWriteJob encoding = work.encoding;
  if (work.reduce) {
    const ReductionRecords records{*work.image, work.options, work.palette, work.colorMap, work.rows};
    const ReduceStatus status = ReduceImage(records, report, nullptr);
    // A reduction that failed has no rows to show and nothing to encode: the result is the failure.
    if (status != ReduceStatus::Ok) return;
    // Taken before the rows are handed over: from then on the owner's thread moves the record they are in.
    encoding = PngWriteJobFor(*work.image, work.options, work.palette, work.rows);
    result_.rowsMade = true;
    reports.Milestone(kRowsMade);
  }
  result_.size = EncodePngFile(work.pngPath, encoding, report);
}
