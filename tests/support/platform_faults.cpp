#include "tests/support/platform_faults.h"

#include <atomic>
#include <new>
#include <system_error>

#include "base/platform_seam.h"
#include "testhost/write_room.h"
#include "tests/support/full_disk_stream.h"

namespace {

// The counters are atomic because the plug-in allocates and starts threads on threads of its own.
class PlatformFaults final : public platform::Seam {
 public:
  bool AllowPageAllocation(size_t bytes) override {
    int32_t call = ++allocationCalls;
    // Only the call that takes the number away fails.
    if (!failingAllocation.compare_exchange_strong(call, 0)) return true;
    refusedBytes = bytes;
    return false;
  }

  void PageBlocksChanged(int32_t change) override { livePageBlocks += change; }

  bool AllowOpening(const platform::WidePath& path, const char* mode) override {
    return failingPath.empty() || path != failingPath || failingMode != mode;
  }

  FILE* StreamForWriting(FILE* file, const char* mode) override {
    return diskRoom.Limited() ? FullDiskStream(file, mode, diskRoom) : file;
  }

  bool AllowHostFileWrite(int64_t count) override { return hostFileRoom.TakeWhole(count); }

  void ThreadStarting() override {
    const int32_t start = ++threadStarts;
    if (threadFault == faults::ThreadStartFault::kNone || start < failingThreadsFrom) return;
    if (threadFault == faults::ThreadStartFault::kOutOfMemory) throw std::bad_alloc();
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  }

  std::atomic<int32_t> failingAllocation{0};  // the call number that fails; 0 none
  std::atomic<int32_t> allocationCalls{0};
  std::atomic<size_t> refusedBytes{0};
  std::atomic<int32_t> livePageBlocks{0};
  WriteRoom diskRoom;
  WriteRoom hostFileRoom;
  platform::WidePath failingPath;
  std::string failingMode;
  std::atomic<faults::ThreadStartFault> threadFault{faults::ThreadStartFault::kNone};
  std::atomic<int32_t> failingThreadsFrom{0};
  std::atomic<int32_t> threadStarts{0};
};

PlatformFaults seam;

// Before the first test, so that every page block the program allocates is counted; taken out again before the
// seam goes away at the program's end.
struct InstalledForTheProgram {
  InstalledForTheProgram() { platform::InstallSeam(&seam); }
  ~InstalledForTheProgram() { platform::InstallSeam(nullptr); }
} installedForTheProgram;

}  // namespace

namespace faults {

void FailNthPageAllocation(int32_t nth) {
  seam.failingAllocation = nth < 0 ? 0 : nth;
  seam.allocationCalls = 0;
  seam.refusedBytes = 0;
}

int32_t PageAllocationCalls() { return seam.allocationCalls; }

size_t RefusedPageAllocationBytes() { return seam.refusedBytes; }

int32_t LivePageBlocks() { return seam.livePageBlocks; }

bool LimitFileWrites(int64_t bytes) {
  if (!FullDiskStreamsAvailable()) return false;
  seam.diskRoom.Set(bytes);
  return true;
}

void LimitHostFileWrites(int64_t bytes) { seam.hostFileRoom.Set(bytes); }

void FailOpening(const platform::WidePath& path, const std::string& mode) {
  seam.failingPath = path;
  seam.failingMode = mode;
}

void FailThreadStartsFrom(int32_t nth, ThreadStartFault fault) {
  seam.threadFault = fault;
  seam.failingThreadsFrom = nth;
  seam.threadStarts = 0;
}

int32_t ThreadStarts() { return seam.threadStarts; }

void SwitchAllOff() {
  FailNthPageAllocation(0);
  LimitFileWrites(-1);
  LimitHostFileWrites(-1);
  FailOpening({}, "");
  FailThreadStartsFrom(0, ThreadStartFault::kNone);
}

}  // namespace faults
