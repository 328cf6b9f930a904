// The plug-in's threads start through StartThread, which a test can make fail as the system can.
#include "base/start_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <system_error>

#include "tests/support/platform_faults.h"

namespace {

TEST(StartThread, RunsTheFunctionUnlessTheSeamMakesTheStartFailAsTheSystemCan) {
  std::atomic<int> runs{0};
  const auto run = [&runs](int add) { runs += add; };
  std::thread started = platform::StartThread(run, 2);
  started.join();
  EXPECT_EQ(runs, 2);

  faults::FailThreadStartsFrom(2, faults::ThreadStartFault::kSystemError);
  platform::StartThread(run, 1).join();
  EXPECT_THROW(platform::StartThread(run, 10), std::system_error);
  EXPECT_THROW(platform::StartThread(run, 10), std::system_error);
  EXPECT_EQ(faults::ThreadStarts(), 3);
  faults::FailThreadStartsFrom(1, faults::ThreadStartFault::kOutOfMemory);
  EXPECT_THROW(platform::StartThread(run, 10), std::bad_alloc);
  faults::SwitchAllOff();
  platform::StartThread(run, 4).join();
  EXPECT_EQ(runs, 7);  // no failed start ran the function
}

}  // namespace
