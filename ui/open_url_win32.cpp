#include "ui/open_url_win32.h"

#include <shellapi.h>

#include <memory>
#include <string>

const char kMakerHomePage[] = "https://brindlewerks.example/";
const char kMakerProductPage[] =
    "https://brindlewerks.example/products/products.php?menu=plugins&p_menustate=open&prod_id=vexlorin";

namespace {

// Everything a request's thread touches: its own copies, and a reference to the module.
struct WebPageRequest {
  WebPageOpener::ShellOpen shellOpen = nullptr;
  std::string address;
  HWND owner = nullptr;
  HMODULE module = nullptr;  // taken for the thread, given back as it ends
};

DWORD WINAPI OpenOnWorker(LPVOID parameter) {
  HMODULE module = nullptr;
  {
    const std::unique_ptr<WebPageRequest> request(static_cast<WebPageRequest*>(parameter));
    module = request->module;
    request->shellOpen(request->owner, request->address.c_str());
  }
  // The module may have been let go by everyone else meanwhile: the thread ends without returning into it.
  FreeLibraryAndExitThread(module, 0);
}

// One more reference to the module this code is in; null when there is none to be had.
HMODULE ReferenceToThisModule() {
  HMODULE module = nullptr;
  const auto inside = reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&OpenOnWorker));
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, inside, &module) ? module : nullptr;
}

}  // namespace

void OpenWithShell(HWND owner, const char* address) {
  ShellExecuteA(owner, "open", address, nullptr, nullptr, SW_SHOW);
}

WebPageOpener::~WebPageOpener() {
  // Nobody waits for the thread: it keeps its code loaded itself.
  if (worker_ != nullptr) CloseHandle(worker_);
}

void WebPageOpener::OpenUrl(const char* address, HWND owner) {
  if (worker_ != nullptr && WaitForSingleObject(worker_, 0) == WAIT_TIMEOUT) return;
  auto request = std::make_unique<WebPageRequest>();
  request->shellOpen = shellOpen_;
  request->address = address;
  request->owner = owner;
  request->module = ReferenceToThisModule();
  if (request->module == nullptr) return;
  const HANDLE worker = CreateThread(nullptr, 0, OpenOnWorker, request.get(), 0, nullptr);
  if (worker == nullptr) {
    FreeLibrary(request->module);
    return;
  }
  request.release();  // the thread's from here
  if (worker_ != nullptr) CloseHandle(worker_);
  worker_ = worker;
}
