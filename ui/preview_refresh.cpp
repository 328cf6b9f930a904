#include "ui/preview_refresh.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <utility>

#include "base/debug_log.h"
#include "base/platform.h"
#include "png/png_writer.h"
#include "records/color_map.h"
#include "records/palette.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/reduce_filter.h"

namespace {

// Beside the PNG the save copies, so that a refresh that stops part-way never touches it.
const char16_t kNextPngSuffix[] = u".next";

// A built palette's colour map holds its entries and one more.
AColorHistEntry* CopyOfColorMap(const AColorHistEntry* map, int32_t builtCount) {
  if (map == nullptr) return nullptr;
  const size_t entries = static_cast<size_t>(std::clamp(builtCount, 0, 256)) + 1;
  auto* copy = new (std::nothrow) AColorHistEntry[entries];
  if (copy != nullptr) std::copy(map, map + entries, copy);
  return copy;
}

}  // namespace

// One refresh: a copy of what it reads, and what it has made. The owner's thread makes it and destroys it; the
// worker reads the copies and writes the results until it reports that it has finished.
struct PreviewRefresher::Job {
  ~Job() { delete[] colorMap; }

  Kind kind = Kind::kReduceAndEncode;
  SaveOptionsRecord options;
  PaletteRecord palette;
  AColorHistEntry* colorMap = nullptr;  // owned until the rows reach the records
  ReducedImageRecord* rows = nullptr;   // the spare rows; ReducedImage itself when only encoding
  platform::WidePath path;
  std::atomic<bool> stopped{false};
  int32_t size = 0;
  bool rowsTaken = false;  // owner's thread only
};

PreviewRefresher::PreviewRefresher(Listener& listener, std::function<bool()> wake)
    : listener_(listener), wake_(std::move(wake)), rowsOptions_(SaveOptions) {
  try {
    worker_ = std::thread(&PreviewRefresher::Work, this);
  } catch (const std::system_error&) {
    // Without a thread every refresh runs where it is asked for, as a blocking call.
    DebugLog("Refresh thread not started");
  }
}

PreviewRefresher::~PreviewRefresher() { Stop(); }

void PreviewRefresher::Request() {
  if (stopped_) return;
  waiting_ = Kind::kReduceAndEncode;
  if (running_ != nullptr) {
    running_->stopped = true;
    return;
  }
  waiting_.reset();
  Start(Kind::kReduceAndEncode);
}

void PreviewRefresher::RequestEncoding() {
  if (stopped_) return;
  if (running_ != nullptr) {
    if (!waiting_) waiting_ = Kind::kEncode;  // a waiting reduction encodes as well
    return;
  }
  Start(Kind::kEncode);
}

void PreviewRefresher::PaletteEdited() {
  if (running_ != nullptr && running_->kind == Kind::kReduceAndEncode && !running_->rowsTaken) Request();
}

void PreviewRefresher::Start(Kind kind) {
  auto job = std::make_unique<Job>();
  job->kind = kind;
  job->options = SaveOptions;
  job->palette = Palette;
  if (kind == Kind::kReduceAndEncode && Palette.built) job->colorMap = CopyOfColorMap(ColorMap, Palette.builtCount);
  job->rows = kind == Kind::kEncode ? &ReducedImage : &spare_;
  job->path = TempPngPath + kNextPngSuffix;
  running_ = std::move(job);
  if (!worker_.joinable()) {
    Run(*running_);
    Deliver();
    return;
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    next_ = running_.get();
  }
  jobArrived_.notify_one();
}

void PreviewRefresher::Deliver() {
  Mail mail;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    mail = std::exchange(mail_, Mail{});
    wakeSent_ = false;
  }
  if (running_ == nullptr) return;
  Job& job = *running_;
  if (mail.progress && !job.stopped) listener_.RefreshProgress(mail.done, mail.total);
  if (mail.rowsReady && !job.stopped) TakeRows(job);
  if (mail.finished) Finish(job);
}

void PreviewRefresher::TakeRows(Job& job) {
  // The worker goes on encoding from these rows and its own copy of the palette; it reads, nobody writes.
  std::swap(ReducedImage, spare_);
  Palette = job.palette;
  ReleaseColorMap();
  ColorMap = std::exchange(job.colorMap, nullptr);
  rowsOptions_ = job.options;
  job.rowsTaken = true;
  listener_.RowsChanged();
}

void PreviewRefresher::Finish(Job& job) {
  if (job.stopped) {
    platform::DeleteFilePath(job.path);
  } else {
    // Only a whole PNG takes the place of the one the save would copy.
    const bool placed = job.size > 0 && platform::ReplaceFilePath(job.path, TempPngPath);
    if (!placed) platform::DeleteFilePath(job.path);
    LastCompressedSize = placed ? job.size : 0;
    listener_.EncodingDone(LastCompressedSize);
  }
  running_.reset();
  if (waiting_) {
    const Kind kind = *waiting_;
    waiting_.reset();
    Start(kind);
  } else {
    listener_.RefreshIdle();
  }
}

void PreviewRefresher::Stop() {
  if (stopped_) return;
  stopped_ = true;
  waiting_.reset();
  if (running_ != nullptr) running_->stopped = true;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  jobArrived_.notify_one();
  if (worker_.joinable()) worker_.join();
  if (running_ != nullptr) platform::DeleteFilePath(running_->path);
  running_.reset();
  FreeReducedImagePixels(spare_);
}

void PreviewRefresher::Work() {
  platform::LowerThreadPriority();
  for (;;) {
    Job* job = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      jobArrived_.wait(lock, [this] { return next_ != nullptr || quit_; });
      if (quit_) return;
      job = std::exchange(next_, nullptr);
    }
    Run(*job);
  }
}

void PreviewRefresher::Run(Job& job) {
  const ProgressReport report = [this, &job](double done, double total) {
    if (job.stopped) return false;
    Post([&](Mail& mail) {
      mail.progress = true;
      mail.done = done < 0 ? 0 : static_cast<int32_t>(done);
      mail.total = static_cast<int32_t>(total);
    });
    return true;
  };
  if (job.kind == Kind::kReduceAndEncode) {
    const ReductionRecords records{WholeImage, job.options, job.palette, job.colorMap, *job.rows};
    if (ReduceImage(records, report, nullptr) == ReduceStatus::Aborted) {
      Post([](Mail& mail) { mail.finished = true; });
      return;
    }
  }
  // Taken before the rows are handed over: from then on the owner's thread moves the record they are in.
  const PngWriteJob encoding = PngWriteJobFor(WholeImage, job.options, job.palette, *job.rows);
  if (job.kind == Kind::kReduceAndEncode) Post([](Mail& mail) { mail.rowsReady = true; });
  job.size = EncodePngFile(job.path, encoding, report).size;
  Post([](Mail& mail) { mail.finished = true; });
}

void PreviewRefresher::Post(const std::function<void(Mail&)>& write) {
  bool wake = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    write(mail_);
    wake = !wakeSent_;
    wakeSent_ = true;
  }
  if (!worker_.joinable() || std::this_thread::get_id() != worker_.get_id()) return;  // inline: delivered after
  if (wake && !wake_()) {
    const std::lock_guard<std::mutex> lock(mutex_);
    wakeSent_ = false;  // the next report tries again
  }
}
