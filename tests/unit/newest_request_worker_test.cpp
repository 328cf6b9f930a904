// The worker's own rules, with jobs that wait at gates the test opens: one job at a time, the newest request
// winning and waiting requests merging, an end that reaches the owner even when waking it fails, and a stop that
// drops what waits.
#include "ui/newest_request_worker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// What the jobs and the test share; every wait is for an event.
struct Board {
  std::mutex mutex;
  std::condition_variable changed;
  int running = 0;  // jobs inside Run now
  int mostRunning = 0;
  int started = 0;   // jobs that have entered Run
  int returned = 0;  // jobs that have left Run
  int destroyed = 0;
  bool open = false;  // jobs may return without being stopped
  int wakes = 0;      // calls of the wake
  int wakesToRefuse = 0;
  bool woken = false;

  template <class Predicate>
  void WaitUntil(Predicate done) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, done);
  }
};

class GateJob final : public NewestRequestWorker::Job {
 public:
  GateJob(Board& board, NewestRequestWorker::Request request) : request(request), board_(board) {}
  ~GateJob() override {
    const std::lock_guard<std::mutex> lock(board_.mutex);
    ++board_.destroyed;
  }
  void Run(NewestRequestWorker::Reports& reports) override {
    {
      std::unique_lock<std::mutex> lock(board_.mutex);
      ++board_.started;
      board_.mostRunning = std::max(board_.mostRunning, ++board_.running);
      board_.changed.notify_all();
    }
    reports.Progress(1, 2);
    {
      // A real job looks at its stop between rows; this one is told by the test's notifications.
      std::unique_lock<std::mutex> lock(board_.mutex);
      board_.changed.wait(lock, [&] { return board_.open || reports.Stopped(); });
    }
    reports.Milestone(4);
    const std::lock_guard<std::mutex> lock(board_.mutex);
    --board_.running;
    ++board_.returned;
    board_.changed.notify_all();
  }
  const NewestRequestWorker::Request request;

 private:
  Board& board_;
};

struct Heard {
  NewestRequestWorker::Request request = 0;
  bool stopped = false;
  bool progressed = false;
  uint32_t milestones = 0;
};

class RecordingOwner final : public NewestRequestWorker::Owner {
 public:
  explicit RecordingOwner(Board& board) : board_(board) {}
  std::unique_ptr<NewestRequestWorker::Job> MakeJob(NewestRequestWorker::Request request) override {
    {
      const std::lock_guard<std::mutex> lock(board_.mutex);
      // The job before has returned before the next is made: what it was lent is free again.
      returnedWhenMade.push_back(board_.returned);
    }
    made.push_back(request);
    return std::make_unique<GateJob>(board_, request);
  }
  void JobNews(NewestRequestWorker::Job& job, const NewestRequestWorker::News& news) override {
    Heard& heard = current;
    heard.request = static_cast<GateJob&>(job).request;
    heard.progressed = heard.progressed || news.progressed;
    heard.milestones |= news.milestones;
    if (!news.ended) return;
    heard.stopped = job.Stopped();
    ended.push_back(heard);
    current = Heard{};
  }
  void Idle() override { ++idle; }

  std::vector<NewestRequestWorker::Request> made;
  std::vector<int> returnedWhenMade;
  std::vector<Heard> ended;
  Heard current;
  int idle = 0;

 private:
  Board& board_;
};

class NewestRequestWorkerTest : public testing::Test {
 protected:
  // The wake a window's message queue would give: refused while the test says so.
  bool Wake() {
    const std::lock_guard<std::mutex> lock(board_.mutex);
    ++board_.wakes;
    if (board_.wakesToRefuse > 0) {
      --board_.wakesToRefuse;
      return false;
    }
    board_.woken = true;
    board_.changed.notify_all();
    return true;
  }
  void Open() {
    const std::lock_guard<std::mutex> lock(board_.mutex);
    board_.open = true;
    board_.changed.notify_all();
  }
  // A waiting job looks again whether it has been stopped.
  void Nudge() {
    const std::lock_guard<std::mutex> lock(board_.mutex);
    board_.changed.notify_all();
  }
  void DeliverUntilIdle(NewestRequestWorker& worker) {
    while (worker.Busy()) {
      board_.WaitUntil([&] { return board_.woken; });
      {
        const std::lock_guard<std::mutex> lock(board_.mutex);
        board_.woken = false;
      }
      worker.Deliver();
    }
  }

  Board board_;
  RecordingOwner owner_{board_};
};

TEST_F(NewestRequestWorkerTest, RequestsDuringAJobStopItAndMergeIntoOneJobThatStartsAfterItHasEnded) {
  NewestRequestWorker worker(owner_, [this] { return Wake(); });
  worker.Ask(1);
  board_.WaitUntil([&] { return board_.started == 1; });
  worker.Ask(2);
  worker.Ask(4);
  EXPECT_TRUE(worker.Busy());
  Open();  // the next job runs through
  Nudge();
  DeliverUntilIdle(worker);

  EXPECT_EQ(owner_.made, (std::vector<NewestRequestWorker::Request>{1, 6}));
  EXPECT_EQ(owner_.returnedWhenMade, (std::vector<int>{0, 1}));
  EXPECT_EQ(board_.mostRunning, 1);
  ASSERT_EQ(owner_.ended.size(), 2u);
  EXPECT_TRUE(owner_.ended[0].stopped);
  EXPECT_EQ(owner_.ended[1].request, 6u);
  EXPECT_FALSE(owner_.ended[1].stopped);
  EXPECT_TRUE(owner_.ended[1].progressed);
  EXPECT_EQ(owner_.ended[1].milestones, 4u);
  EXPECT_EQ(owner_.idle, 1);
  EXPECT_EQ(board_.destroyed, 2);
}

TEST_F(NewestRequestWorkerTest, AJobsEndReachesTheOwnerEvenWhenWakingItFailsAtFirst) {
  NewestRequestWorker worker(owner_, [this] { return Wake(); });
  {
    const std::lock_guard<std::mutex> lock(board_.mutex);
    board_.wakesToRefuse = 4;  // the job's reports and its end: the queue is full for a while
  }
  Open();
  worker.Ask(1);
  DeliverUntilIdle(worker);
  EXPECT_EQ(owner_.ended.size(), 1u);
  EXPECT_EQ(owner_.idle, 1);
  EXPECT_GE(board_.wakes, 5);
}

TEST_F(NewestRequestWorkerTest, StopEndsTheRunningJobDropsWhatWaitsAndIgnoresLaterRequests) {
  NewestRequestWorker worker(owner_, [this] { return Wake(); });
  worker.Ask(1);
  board_.WaitUntil([&] { return board_.started == 1; });
  worker.Ask(2);
  Nudge();
  worker.Stop();
  EXPECT_FALSE(worker.Busy());
  EXPECT_EQ(board_.returned, 1);
  EXPECT_EQ(board_.destroyed, 1);
  worker.Ask(8);
  worker.Deliver();
  EXPECT_FALSE(worker.Busy());
  EXPECT_EQ(owner_.made, (std::vector<NewestRequestWorker::Request>{1}));
}

}  // namespace
