#include "ui/open_url_win32.h"

#include <shellapi.h>

#include <atomic>

#include "ui/main_window_win32.h"

const char kMakerHomePage[] = "https://brindlewerks.example/";
const char kMakerProductPage[] =
    "https://brindlewerks.example/products/products.php?menu=plugins&p_menustate=open&prod_id=vexlorin";

namespace {

// The worker touches only these; the dialog reads the flag.
std::atomic<bool> busy{false};
HWND requestOwner = nullptr;
const char* requestAddress = nullptr;

DWORD WINAPI OpenOnWorker(LPVOID) {
  ShellExecuteA(requestOwner, "open", requestAddress, nullptr, nullptr, SW_SHOW);
  busy = false;
  return 0;
}

}  // namespace

bool OpenUrlBusy() { return busy; }

void OpenUrl(const char* address, HWND owner) {
  // Claimed before the thread starts, so a second click cannot slip in while the worker is starting.
  if (busy.exchange(true)) return;
  requestOwner = owner != nullptr ? owner : mainWindow;
  requestAddress = address;
  DWORD threadId = 0;
  HANDLE worker = CreateThread(nullptr, 0, OpenOnWorker, nullptr, 0, &threadId);
  if (worker == nullptr) {
    busy = false;
    return;
  }
  CloseHandle(worker);  // nobody waits for it
}
