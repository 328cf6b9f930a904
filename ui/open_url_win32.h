#pragma once
// Opens web pages in the user's browser on a thread of their own, so the dialog never waits for the shell.
#include <windows.h>

extern const char kMakerHomePage[];
extern const char kMakerProductPage[];

// Asks the shell to "open" `address`, owned by `owner` (which may be none).
void OpenWithShell(HWND owner, const char* address);

// The web pages of one dialog: the preview dialog's header bar and the About box shown from it share one, the
// About box of the host's about call has its own. Each request goes to a thread of its own as an object the
// thread owns; the thread holds a reference to the module its code is in until it has left that code, so
// neither the dialog's closing nor the host's unloading the plug-in waits for the shell or pulls the code from
// under it.
class WebPageOpener {
 public:
  using ShellOpen = void (*)(HWND owner, const char* address);
  // `shellOpen` answers each request on its thread; tests hand in their own.
  explicit WebPageOpener(ShellOpen shellOpen = OpenWithShell) : shellOpen_(shellOpen) {}
  ~WebPageOpener();
  WebPageOpener(const WebPageOpener&) = delete;
  WebPageOpener& operator=(const WebPageOpener&) = delete;

  // Opens `address`, owned by `owner` (which may be none). Does nothing while this opener's earlier request is
  // still with the shell.
  void OpenUrl(const char* address, HWND owner);

 private:
  ShellOpen shellOpen_;
  HANDLE worker_ = nullptr;  // the thread of the last request, signalled once it has ended
};
