#include "ui/preview_refresh.h"

#include <utility>

#include "base/debug_log.h"
#include "base/platform.h"
#include "png/png_writer.h"
#include "records/color_map.h"
#include "records/palette.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "ui/refresh_job.h"

namespace {

// Beside the PNG the save copies, so that a refresh that stops part-way never touches it.
const char16_t kNextPngSuffix[] = u".next";

}  // namespace

PreviewRefresher::PreviewRefresher(Listener& listener, std::function<bool()> wake)
    : listener_(listener), rowsOptions_(SaveOptions), worker_(*this, std::move(wake)) {
  // Without a thread every refresh runs where it is asked for, as a blocking call.
  if (!worker_.HasThread()) DebugLog("Refresh thread not started");
}

PreviewRefresher::~PreviewRefresher() { Stop(); }

void PreviewRefresher::Request() { worker_.Ask(kReduce | kEncode); }

void PreviewRefresher::RequestEncoding() {
  // A reduction whose rows have not reached the records would be stopped by an encoding alone, which would then
  // encode rows the options no longer make: it is done again instead.
  worker_.Ask(rowsUnpublished_ ? kReduce | kEncode : kEncode);
}

void PreviewRefresher::PaletteEdited() {
  if (rowsUnpublished_) Request();
}

void PreviewRefresher::Stop() {
  worker_.Stop();
  rowsUnpublished_ = false;
  FreeReducedImagePixels(spare_);
}

std::unique_ptr<NewestRequestWorker::Job> PreviewRefresher::MakeJob(NewestRequestWorker::Request request) {
  const bool reduce = (request & kReduce) != 0;
  RefreshSnapshot snapshot;
  // An encoding alone writes the rows shown as they were made, with the compression and metadata chosen now.
  snapshot.options = reduce ? SaveOptions : rowsOptions_;
  snapshot.options.compression = SaveOptions.compression;
  snapshot.options.metadata = SaveOptions.metadata;
  snapshot.options.sixteenBits = SaveOptions.sixteenBits;
  snapshot.image = &ImageToReduce(snapshot.options.convertToSrgb != 0);  // the image those options reduce
  snapshot.image16 = Image16ToEncode(snapshot.options);
  snapshot.palette = Palette;
  if (reduce && Palette.built) snapshot.colorMap = ColorMap.Copy();
  // Lent to the job: no other job runs, so nothing publishes other rows until it has ended.
  if (!reduce) snapshot.rowsToEncode = &ReducedImage;
  rowsUnpublished_ = reduce;
  return std::make_unique<RefreshJob>(std::move(snapshot),
                                      reduce ? std::exchange(spare_, ReducedImageRecord{}) : ReducedImageRecord{},
                                      TempPngPath + kNextPngSuffix);
}

void PreviewRefresher::JobNews(NewestRequestWorker::Job& running, const NewestRequestWorker::News& news) {
  auto& job = static_cast<RefreshJob&>(running);
  if (!job.Stopped()) {
    if (news.progressed) listener_.RefreshProgress(news.done, news.total);
    const bool rows = (news.milestones & RefreshJob::kRowsMade) != 0;
    Publish(job, rows, news.ended);
    if (rows) listener_.RowsChanged();
    if (news.ended) listener_.EncodingDone(LastCompressedSize);
  }
  if (!news.ended || !job.Reduces()) return;
  rowsUnpublished_ = false;
  // The buffer the job holds now (its own, or the records' earlier rows) is the next reduction's.
  spare_ = std::exchange(job.result().rows, ReducedImageRecord{});
}

void PreviewRefresher::Publish(RefreshJob& job, bool rows, bool png) {
  RefreshResult& made = job.result();
  if (rows) {
    // The worker goes on encoding from these rows and its own copy of the palette; it reads, nobody writes.
    std::swap(ReducedImage, made.rows);
    Palette = made.palette;
    ColorMap = std::move(made.colorMap);
    rowsOptions_ = job.snapshot().options;
    rowsUnpublished_ = false;
  }
  if (png) {
    const int32_t size = made.size;
    // Only a whole PNG takes the place of the one the save would copy.
    const bool placed = size > 0 && platform::ReplaceFilePath(made.pngPath, TempPngPath);
    if (placed) job.PngPublished();
    LastCompressedSize = placed ? size : 0;
    filePsnr_ = placed ? made.psnr : -1;
  }
}
