#include "ui/newest_request_worker.h"

#include <chrono>
#include <utility>

#include "base/platform.h"
#include "base/start_thread.h"

namespace {

// How soon the worker tries again to wake an owner it could not wake (its message queue was full).
constexpr std::chrono::milliseconds kWakeRetry{20};

}  // namespace

class NewestRequestWorker::JobReports final : public Reports {
 public:
  JobReports(NewestRequestWorker& worker, const Job& job) : worker_(worker), job_(job) {}
  bool Stopped() const override { return job_.stopped_; }
  void Progress(int32_t done, int32_t total) override {
    worker_.Post([&](News& news) {
      news.progressed = true;
      news.done = done;
      news.total = total;
    });
  }
  void Milestone(uint32_t bit) override {
    worker_.Post([&](News& news) { news.milestones |= bit; });
  }

 private:
  NewestRequestWorker& worker_;
  const Job& job_;
};

NewestRequestWorker::NewestRequestWorker(Owner& owner, std::function<bool()> wake)
    : owner_(owner), wake_(std::move(wake)) {
  try {
    worker_ = platform::StartThread(&NewestRequestWorker::Work, this);
  } catch (...) {
    // No thread (no handle, no memory): every job runs inside the call that starts it.
  }
}

NewestRequestWorker::~NewestRequestWorker() { Stop(); }

void NewestRequestWorker::Ask(Request request) {
  if (stopped_) return;
  waiting_ |= request;
  if (running_ != nullptr) {
    running_->stopped_ = true;
    return;
  }
  StartWaiting();
}

void NewestRequestWorker::StartWaiting() {
  running_ = owner_.MakeJob(std::exchange(waiting_, 0));
  if (running_ == nullptr) {
    owner_.Idle();
    return;
  }
  if (!worker_.joinable()) {
    RunAndReport(*running_);
    Deliver();
    return;
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    next_ = running_.get();
  }
  changed_.notify_all();
}

void NewestRequestWorker::Deliver() {
  News news;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    news = std::exchange(news_, News{});
    wakeSent_ = false;
  }
  if (running_ == nullptr) return;
  owner_.JobNews(*running_, news);
  if (!news.ended) return;
  running_.reset();
  if (waiting_ != 0) {
    StartWaiting();
  } else {
    owner_.Idle();
  }
}

void NewestRequestWorker::Stop() {
  if (stopped_) return;
  stopped_ = true;
  waiting_ = 0;
  if (running_ != nullptr) running_->stopped_ = true;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
  running_.reset();
}

void NewestRequestWorker::Work() {
  platform::LowerThreadPriority();
  for (;;) {
    Job* job = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return next_ != nullptr || quit_; });
      if (quit_) return;
      job = std::exchange(next_, nullptr);
    }
    RunAndReport(*job);
  }
}

void NewestRequestWorker::RunAndReport(Job& job) {
  JobReports reports(*this, job);
  job.Run(reports);
  // The owner must hear that the job has ended, or it waits for it for ever.
  bool woken = Post([](News& news) { news.ended = true; });
  while (!woken) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (changed_.wait_for(lock, kWakeRetry, [this] { return quit_; })) return;
    }
    woken = Post([](News&) {});
  }
}

bool NewestRequestWorker::Post(const std::function<void(News&)>& write) {
  bool wake = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    write(news_);
    wake = !wakeSent_;
    wakeSent_ = true;
  }
  // Run inside the owner's call: the owner delivers when the job returns.
  if (!worker_.joinable() || std::this_thread::get_id() != worker_.get_id()) return true;
  if (!wake || wake_()) return true;
  const std::lock_guard<std::mutex> lock(mutex_);
  wakeSent_ = false;
  return false;
}
