// Web pages open on a thread of their own, one request at a time: a shell that holds each request until the test
// lets it go stands in for the browser, and reports which thread it was called on, so the test can wait for the
// thread's end. A request dropped is one for which no thread was made.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "ui/open_url_win32.h"

namespace {

constexpr DWORD kFailAfterMs = 10000;  // a bound for a test that fails, never a wait for one that passes

struct ShellCall {
  std::string address;
  HWND owner = nullptr;
  DWORD thread = 0;
  HANDLE threadHandle = nullptr;  // the test's own handle to the caller's thread
};

// The requests the stand-in shell has answered, and the events through which the test steps it.
struct HeldShell {
  std::mutex mutex;
  std::vector<ShellCall> calls;
  HANDLE entered = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // a request has reached the shell
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);   // the shell may answer
};
HeldShell* shell = nullptr;

// Takes the address only once the test has let it go: by then the caller may have dropped its own copy.
void HoldingShell(HWND owner, const char* address) {
  ShellCall call{"", owner, GetCurrentThreadId(), nullptr};
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &call.threadHandle, SYNCHRONIZE, FALSE,
                  0);
  size_t index = 0;
  {
    const std::lock_guard<std::mutex> lock(shell->mutex);
    index = shell->calls.size();
    shell->calls.push_back(call);
  }
  SetEvent(shell->entered);
  WaitForSingleObject(shell->release, kFailAfterMs);
  const std::lock_guard<std::mutex> lock(shell->mutex);
  shell->calls[index].address = address;
}

// The threads of this process right now: a request's thread is there from the moment it is made.
int ThreadsOfThisProcess() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

class WebPageOpenerTest : public ::testing::Test {
 protected:
  void SetUp() override { shell = &held_; }
  void TearDown() override {
    SetEvent(held_.release);
    for (const ShellCall& call : held_.calls) {
      WaitForSingleObject(call.threadHandle, kFailAfterMs);
      CloseHandle(call.threadHandle);
    }
    CloseHandle(held_.entered);
    CloseHandle(held_.release);
    shell = nullptr;
  }

  ShellCall Call(size_t index) {
    const std::lock_guard<std::mutex> lock(held_.mutex);
    return index < held_.calls.size() ? held_.calls[index] : ShellCall{};
  }

  HeldShell held_;
};

TEST_F(WebPageOpenerTest, ARequestGoesToAThreadOfItsOwnAndNoOtherWhileTheShellHasIt) {
  const HWND owner = GetDesktopWindow();
  WebPageOpener opener(&HoldingShell);
  opener.OpenUrl(kMakerHomePage, owner);
  ASSERT_EQ(WaitForSingleObject(held_.entered, kFailAfterMs), WAIT_OBJECT_0);
  const ShellCall first = Call(0);
  EXPECT_EQ(first.owner, owner);
  EXPECT_NE(first.thread, GetCurrentThreadId());  // the caller does not wait for the shell

  const int threads = ThreadsOfThisProcess();
  ASSERT_GT(threads, 1);
  opener.OpenUrl(kMakerProductPage, nullptr);  // the first is still with the shell: dropped
  EXPECT_EQ(ThreadsOfThisProcess(), threads);
  SetEvent(held_.release);
  ASSERT_EQ(WaitForSingleObject(first.threadHandle, kFailAfterMs), WAIT_OBJECT_0);
  EXPECT_EQ(Call(0).address, kMakerHomePage);

  opener.OpenUrl(kMakerProductPage, nullptr);  // the first has ended: taken
  ASSERT_EQ(WaitForSingleObject(held_.entered, kFailAfterMs), WAIT_OBJECT_0);
  ASSERT_EQ(WaitForSingleObject(Call(1).threadHandle, kFailAfterMs), WAIT_OBJECT_0);
  const ShellCall second = Call(1);
  EXPECT_EQ(second.address, kMakerProductPage);
  EXPECT_EQ(second.owner, nullptr);
  const std::lock_guard<std::mutex> lock(held_.mutex);
  EXPECT_EQ(held_.calls.size(), 2u);
}

TEST_F(WebPageOpenerTest, TheThreadOwnsItsRequestWhenTheCallerAndTheOpenerAreGone) {
  {
    std::string page = "https://brindlewerks.example/a-page-of-the-caller";
    WebPageOpener opener(&HoldingShell);
    opener.OpenUrl(page.c_str(), nullptr);
    ASSERT_EQ(WaitForSingleObject(held_.entered, kFailAfterMs), WAIT_OBJECT_0);
    page.assign(page.size(), '?');
  }
  SetEvent(held_.release);
  ASSERT_EQ(WaitForSingleObject(Call(0).threadHandle, kFailAfterMs), WAIT_OBJECT_0);
  EXPECT_EQ(Call(0).address, "https://brindlewerks.example/a-page-of-the-caller");
}

}  // namespace
