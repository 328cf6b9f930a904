#include "base/row_bands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "tests/support/platform_faults.h"

namespace {

struct BandLog {
  explicit BandLog(int32_t height) : visits(new std::atomic<int32_t>[static_cast<size_t>(height)]), height(height) {
    for (int32_t y = 0; y < height; ++y) visits[y] = 0;
  }
  void Band(int32_t worker, int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) ++visits[y];
    std::lock_guard<std::mutex> lock(mutex);
    workers.insert(worker);
    threadIds.insert(std::this_thread::get_id());
    bands.emplace_back(first, end);
  }
  std::unique_ptr<std::atomic<int32_t>[]> visits;
  int32_t height;
  std::mutex mutex;
  std::set<int32_t> workers;
  std::set<std::thread::id> threadIds;
  std::vector<std::pair<int32_t, int32_t>> bands;
};

TEST(RowBands, EveryRowOnceInBandsOfTheGivenSizeWithRisingReports) {
  for (const int32_t height : {1, 2, 7, 64, 100}) {
    for (const int32_t bandRows : {1, 3, 64, 1000}) {
      for (const int32_t threads : {1, 2, 3, 8}) {
        SCOPED_TRACE(testing::Message() << height << " rows, bands of " << bandRows << ", " << threads << " threads");
        BandLog log(height);
        std::vector<int32_t> reports;
        const RowBands bands{height, bandRows, threads};
        const bool done = RunRowBands(
            bands, [&](int32_t worker, int32_t first, int32_t end) { log.Band(worker, first, end); },
            [&](int32_t rows) {
              reports.push_back(rows);
              return true;
            });
        EXPECT_TRUE(done);
        for (int32_t y = 0; y < height; ++y) ASSERT_EQ(log.visits[y], 1) << "row " << y;
        EXPECT_EQ(static_cast<int32_t>(log.bands.size()), bands.Count());
        for (const auto& band : log.bands) {
          EXPECT_EQ(band.first % bandRows, 0);
          EXPECT_EQ(band.second, std::min(band.first + bandRows, height));
        }
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.back(), height);
        for (size_t i = 1; i < reports.size(); ++i) EXPECT_LT(reports[i - 1], reports[i]);
        for (const int32_t worker : log.workers) {
          EXPECT_GE(worker, 0);
          EXPECT_LT(worker, std::max(std::min(threads, bands.Count()), 1));
        }
        // The caller only waits: with more than one band and thread, the bands run elsewhere.
        if (threads > 1 && bands.Count() > 1) {
          EXPECT_EQ(log.threadIds.count(std::this_thread::get_id()), 0u);
        }
      }
    }
  }
}

TEST(RowBands, AStopEndsEveryThreadAndIsReported) {
  for (const int32_t threads : {1, 2, 4}) {
    BandLog log(500);
    int32_t reports = 0;
    const bool done = RunRowBands(
        RowBands{500, 1, threads}, [&](int32_t worker, int32_t first, int32_t end) { log.Band(worker, first, end); },
        [&](int32_t) {
          ++reports;
          return false;
        });
    EXPECT_FALSE(done) << threads << " threads";
    int32_t visited = 0;
    for (int32_t y = 0; y < 500; ++y) {
      ASSERT_LE(log.visits[y], 1);
      visited += log.visits[y];
    }
    EXPECT_EQ(reports, 1) << "nothing is reported after the stop";
    if (threads == 1) {
      EXPECT_EQ(visited, 1) << "on the caller, no band after the stop";
    }
  }
  // A stop at the very last report still counts.
  BandLog last(4);
  EXPECT_FALSE(RunRowBands(
      RowBands{4, 2, 2}, [&](int32_t worker, int32_t first, int32_t end) { last.Band(worker, first, end); },
      [](int32_t rows) { return rows < 4; }));
}

// A band thread that cannot start, whatever it throws (no handle, no memory for the thread's state), leaves its
// share to the threads started before it, or to the caller; every row is still done once and the call returns.
TEST(RowBands, ThreadsThatCannotStartLeaveTheirBandsToTheOthers) {
  for (const auto fault : {faults::ThreadStartFault::kOutOfMemory, faults::ThreadStartFault::kSystemError}) {
    for (const int32_t firstFailing : {1, 2, 3}) {
      SCOPED_TRACE(firstFailing);
      BandLog log(40);
      faults::FailThreadStartsFrom(firstFailing, fault);
      RowBands bands;
      bands.height = 40;
      bands.bandRows = 3;
      bands.threads = 4;
      int32_t reported = 0;
      const bool done = RunRowBands(
          bands, [&](int32_t worker, int32_t first, int32_t end) { log.Band(worker, first, end); },
          [&](int32_t rows) {
            reported = rows;
            return true;
          });
      faults::SwitchAllOff();
      EXPECT_TRUE(done);
      EXPECT_EQ(reported, 40);
      for (int32_t y = 0; y < 40; ++y) EXPECT_EQ(log.visits[y], 1) << y;
      // Only threads that started did bands; with none, the caller did them all.
      EXPECT_LE(log.workers.size(), static_cast<size_t>(std::max(firstFailing - 1, 1)));
      if (firstFailing == 1) {
        EXPECT_EQ(log.threadIds, std::set<std::thread::id>{std::this_thread::get_id()});
      }
    }
  }
}

TEST(RowBands, NoRowsRunsNothingAndBandSizesSuitTheWidth) {
  bool ran = false;
  EXPECT_TRUE(RunRowBands(
      RowBands{0, 4, 4}, [&](int32_t, int32_t, int32_t) { ran = true; }, [](int32_t) { return true; }));
  EXPECT_FALSE(ran);
  EXPECT_EQ(BandRowsFor(1 << 20), 1);
  EXPECT_EQ(BandRowsFor(0), BandRowsFor(1));
  EXPECT_GT(BandRowsFor(6000), 1);
  EXPECT_GE(ReductionThreads(), 1);
}

}  // namespace
