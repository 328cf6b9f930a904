#include "base/row_bands.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "base/platform.h"
#include "base/start_thread.h"

namespace {

constexpr int32_t kBandPixels = 1 << 18;

// What the bands' threads share with the waiting caller.
class BandQueue {
 public:
  explicit BandQueue(const RowBands& bands) : bands_(bands) {}

  // Takes bands until none is left or a stop is asked for.
  void Work(int32_t worker, const std::function<void(int32_t, int32_t, int32_t)>& band) {
    platform::LowerThreadPriority();
    for (;;) {
      int32_t first = 0;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_ || next_ >= bands_.Count()) break;
        first = next_++ * bands_.bandRows;
      }
      const int32_t end = std::min(first + bands_.bandRows, bands_.height);
      band(worker, first, end);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        rowsDone_ += end - first;
      }
      changed_.notify_one();
    }
    Ended();
  }

  // A thread about to start, and one that has ended (or could not start after all).
  void Started() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++running_;
  }
  void Ended() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --running_;
    }
    changed_.notify_one();
  }

  // Reports finished rows until every thread has ended; false when a report answered false.
  bool Watch(const std::function<bool(int32_t)>& rowsDone) {
    bool go = true;
    int32_t reported = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] { return rowsDone_ != reported || running_ == 0; });
      if (rowsDone_ != reported) {
        reported = rowsDone_;
        if (!go) continue;  // stopped: the running bands end unreported
        lock.unlock();
        const bool answer = !rowsDone || rowsDone(reported);
        lock.lock();
        if (!answer) {
          go = false;
          stop_ = true;
        }
        continue;
      }
      return go;  // nothing running, everything finished reported
    }
  }

 private:
  const RowBands& bands_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int32_t next_ = 0;  // the next band to take
  int32_t rowsDone_ = 0;
  int32_t running_ = 0;
  bool stop_ = false;
};

bool RunOnCaller(const RowBands& bands, const std::function<void(int32_t, int32_t, int32_t)>& band,
                 const std::function<bool(int32_t)>& rowsDone) {
  for (int32_t first = 0; first < bands.height; first += bands.bandRows) {
    const int32_t end = std::min(first + bands.bandRows, bands.height);
    band(0, first, end);
    if (rowsDone && !rowsDone(end)) return false;
  }
  return true;
}

}  // namespace

int32_t BandRowsFor(int32_t width) { return std::max(kBandPixels / std::max(width, 1), 1); }

int32_t ReductionThreads() { return static_cast<int32_t>(std::max(std::thread::hardware_concurrency(), 1u)); }

bool RunRowBands(const RowBands& bands, const std::function<void(int32_t, int32_t, int32_t)>& band,
                 const std::function<bool(int32_t)>& rowsDone) {
  const int32_t wanted = std::min(std::max(bands.threads, 1), bands.Count());
  if (wanted <= 1) return RunOnCaller(bands, band, rowsDone);

  BandQueue queue(bands);
  std::vector<std::thread> threads;
  try {
    threads.reserve(static_cast<size_t>(wanted));
  } catch (const std::bad_alloc&) {
    return RunOnCaller(bands, band, rowsDone);
  }
  for (int32_t worker = 0; worker < wanted; ++worker) {
    queue.Started();
    try {
      threads.push_back(platform::StartThread([&queue, &band, worker] { queue.Work(worker, band); }));
    } catch (...) {
      // No thread (no handle, no memory): it never runs, so it is counted out again, and those started so far
      // do the bands.
      queue.Ended();
      break;
    }
  }
  if (threads.empty()) return RunOnCaller(bands, band, rowsDone);
  const bool go = queue.Watch(rowsDone);
  for (std::thread& thread : threads) thread.join();
  return go;
}
