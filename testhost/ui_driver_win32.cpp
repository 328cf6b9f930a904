// The UI driver on Windows: a second thread that finds the plug-in's modal preview dialog on the save's
// thread and performs a script on it with the messages a person's actions would cause.
//
// Sent messages run on the dialog's thread before SendMessage returns, but the controls answer some of
// them by posting commands (a button posts to the panel, the panel may post to the dialog). So after every
// action the driver waits until the dialog's thread has emptied its queue: it posts a marker message, and
// a message hook on that thread, seeing the marker come out of the queue, checks whether anything was
// posted behind it. If so it posts the marker again; if not, it paints what is pending and reports idle.
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "testhost/rgb_png_file.h"
#include "testhost/ui_driver.h"
#include "ui/refreshing_property.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/window_dpi_win32.h"

namespace {

constexpr DWORD kDialogAppearsMs = 10000;  // how long a script waits for the dialog to open
constexpr DWORD kDialogClosesMs = 10000;   // and for it to close after ok or cancel
constexpr DWORD kActionMs = 60000;         // a refresh of a large image may take a while
constexpr DWORD kLookAgainMs = 10;
constexpr int kDragSteps = 4;
// The dialog's own drop-down lists above the preview, as a person finds them (IDC_ZOOM and IDC_VIEW).
constexpr int kZoomListId = 1040;
constexpr int kViewListId = 1042;

const wchar_t kDialogClass[] = L"#32770";
constexpr DWORD kPingEveryMs = 10;
// Controls of the plug-in's own classes, pressed with mouse messages since they know no BM_CLICK.
const wchar_t* const kMouseClickClasses[] = {L"MacStyleBtn", L"Control Button CPP", L"Contaner Color CPP",
                                             L"ContainerLinkC"};

// What the message hook on the dialog's thread needs; set before the hook is installed.
struct IdleProbe {
  HWND dialog = nullptr;
  UINT marker = 0;
  HANDLE reached = nullptr;          // auto-reset event, set when a round reached idle
  std::atomic<WPARAM> lastRound{0};  // the round that did
  std::atomic<int> keysUp{0};        // key-up messages the dialog's thread has taken from its queue
};
IdleProbe probe;

LRESULT CALLBACK WatchDialogQueue(int code, WPARAM removal, LPARAM data) {
  auto* message = reinterpret_cast<MSG*>(data);
  if (code == HC_ACTION && removal == PM_REMOVE && (message->message == WM_KEYUP || message->message == WM_SYSKEYUP)) {
    ++probe.keysUp;
  }
  if (code == HC_ACTION && removal == PM_REMOVE && message->message == probe.marker && message->hwnd == probe.dialog) {
    if (HIWORD(GetQueueStatus(QS_POSTMESSAGE)) != 0) {
      // Something was posted while the earlier messages were handled: let it run first.
      PostMessageW(probe.dialog, probe.marker, message->wParam, 0);
    } else {
      RedrawWindow(probe.dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      probe.lastRound.store(message->wParam);
      SetEvent(probe.reached);
    }
    message->message = WM_NULL;  // the dialog never sees the marker
  }
  return CallNextHookEx(nullptr, code, removal, data);
}

// The hook for as long as the driver acts on one dialog.
class QueueWatch {
 public:
  QueueWatch(HWND dialog, DWORD thread) {
    probe.dialog = dialog;
    probe.marker = RegisterWindowMessageW(L"vexhost UI script: dialog idle");
    probe.reached = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    probe.lastRound.store(0);
    if (probe.marker != 0 && probe.reached != nullptr) {
      hook_ = SetWindowsHookExW(WH_GETMESSAGE, WatchDialogQueue, nullptr, thread);
    }
  }
  ~QueueWatch() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    if (probe.reached != nullptr) CloseHandle(probe.reached);
    probe.reached = nullptr;
    probe.dialog = nullptr;
  }
  QueueWatch(const QueueWatch&) = delete;
  QueueWatch& operator=(const QueueWatch&) = delete;
  bool Installed() const { return hook_ != nullptr; }

 private:
  HHOOK hook_ = nullptr;
};

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t actual[64] = {};
  return GetClassNameW(window, actual, 64) > 0 && lstrcmpiW(actual, name) == 0;
}

std::string ClassText(HWND window) {
  wchar_t name[64] = {};
  const int length = GetClassNameW(window, name, 64);
  std::string text;
  for (int i = 0; i < length; ++i) text += name[i] < 0x80 ? static_cast<char>(name[i]) : '?';
  return text;
}

struct DialogSearch {
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK ConsiderTopWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  wchar_t caption[32] = {};
  // InternalGetWindowText sends nothing to the busy dialog thread.
  InternalGetWindowText(window, caption, 32);
  if (HasClass(window, kDialogClass) && lstrcmpW(caption, search->caption) == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

POINT Centre(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return POINT{client.right / 2, client.bottom / 2};
}

LPARAM PointParameter(POINT at) {
  return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(at.x)), static_cast<WORD>(static_cast<int16_t>(at.y)));
}

enum class Settled { kIdle, kClosed, kBusy };

// A second thread that keeps sending the dialog WM_NULL and notes the longest wait for an answer: how long the
// dialog's thread left its queue unanswered.
class QueueWatchdog {
 public:
  explicit QueueWatchdog(HWND dialog) : dialog_(dialog), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (stop_ != nullptr) thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Watch, this, 0, nullptr));
  }
  ~QueueWatchdog() {
    Stop();
    if (stop_ != nullptr) CloseHandle(stop_);
  }
  QueueWatchdog(const QueueWatchdog&) = delete;
  QueueWatchdog& operator=(const QueueWatchdog&) = delete;

  bool Running() const { return thread_ != nullptr; }
  void Stop() {
    if (thread_ == nullptr) return;
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  // Read once stopped.
  ULONGLONG longest = 0;
  int pings = 0;
  ULONGLONG hiddenAt = 0;  // when the dialog was first seen hidden or gone

 private:
  static unsigned __stdcall Watch(void* self) {
    auto* watchdog = static_cast<QueueWatchdog*>(self);
    while (WaitForSingleObject(watchdog->stop_, kPingEveryMs) == WAIT_TIMEOUT) {
      const ULONGLONG sent = GetTickCount64();
      if (watchdog->hiddenAt == 0 && !IsWindowVisible(watchdog->dialog_)) watchdog->hiddenAt = sent;
      DWORD_PTR answer = 0;
      if (SendMessageTimeoutW(watchdog->dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kActionMs, &answer) == 0) break;
      watchdog->longest = std::max(watchdog->longest, GetTickCount64() - sent);
      ++watchdog->pings;
    }
    return 0;
  }

  HWND dialog_;
  HANDLE stop_;
  HANDLE thread_ = nullptr;
};

class Driver {
 public:
  explicit Driver(UiDriver::Run& run);
  std::string Perform();

 private:
  std::string WaitForDialog(const std::string& where);
  std::string Do(const UiAction& action);
  std::string Click(const UiTarget& target);
  std::string Select(const UiTarget& target, int32_t index);
  std::string SelectInDialog(int id, const std::string& list, int32_t index);
  std::string Cell(int32_t index, bool twice);
  std::string Drag(int32_t dx, int32_t dy);
  std::string Resize(int32_t width, int32_t height);
  std::string Hover(const UiTarget& target);
  std::string DpiChanged(int32_t dpi);
  std::string ReportText(const UiTarget& target);
  std::string ReportImage(const UiTarget& target);
  std::string Snapshot(const std::string& path);
  std::string Close(int buttonId);
  std::string Report(const UiTarget& target);
  std::string Key(UiKey key);
  std::string ReportFocus();
  std::string StartWatch();
  std::string ReportWatch();
  std::string Abandon();

  std::string Settle();
  Settled WaitUntilSettled(DWORD limit);
  template <class Condition>
  bool WaitFor(Condition done, DWORD limit);
  bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer = nullptr);
  bool Mouse(HWND window, UINT message, WPARAM keys, POINT at) {
    return Send(window, message, keys, PointParameter(at));
  }

  HWND ChildDialog(bool withOkButton) const;
  HWND Panel() const { return ChildDialog(true); }
  HWND Header() const { return ChildDialog(false); }
  HWND Part(const UiTarget& target, std::string* error) const;
  HWND Control(const UiTarget& target, std::string* error) const;
  std::string Reachable(HWND control, const std::string& name) const;

  UiDriver::Run& run_;
  HWND dialog_ = nullptr;
  bool closed_ = false;
  WPARAM round_ = 0;
  bool settleRefresh_ = true;   // an action is over when a refresh it started is over too
  ULONGLONG pressedAt_ = 0;     // when OK or Cancel was pressed
  int64_t closedAfterMs_ = -1;  // from pressing OK or Cancel until the dialog was destroyed
  std::unique_ptr<QueueWatchdog> watchdog_;
};

}  // namespace

struct UiDriver::Run {
  std::vector<UiAction> actions;
  UiDialog dialog = UiDialog::kPreview;
  DWORD dialogThread = 0;
  HANDLE callOver = nullptr;  // manual-reset event: the plug-in has returned, no dialog will come any more
  HANDLE thread = nullptr;
  std::string failure;
};

namespace {

Driver::Driver(UiDriver::Run& run) : run_(run) {}

template <class Condition>
bool Driver::WaitFor(Condition done, DWORD limit) {
  const ULONGLONG deadline = GetTickCount64() + limit;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    WaitForSingleObject(run_.callOver, kLookAgainMs);
  }
}

bool Driver::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kActionMs, &result) == 0) return false;
  if (answer != nullptr) *answer = static_cast<LRESULT>(result);
  return true;
}

std::string Driver::WaitForDialog(const std::string& where) {
  DialogSearch search{run_.dialog == UiDialog::kAbout ? L"About Vexlorin" : L"Vexlorin", nullptr};
  bool over = false;
  const bool appeared = WaitFor(
      [&] {
        EnumThreadWindows(run_.dialogThread, ConsiderTopWindow, reinterpret_cast<LPARAM>(&search));
        over = WaitForSingleObject(run_.callOver, 0) == WAIT_OBJECT_0;
        return search.found != nullptr || over;
      },
      kDialogAppearsMs);
  if (search.found != nullptr) {
    dialog_ = search.found;
    return {};
  }
  const std::string name = run_.dialog == UiDialog::kAbout ? "About box" : "dialog";
  if (over) return where + ": the plug-in returned without showing its " + name;
  if (!appeared) {
    return where + ": no " + name + " appeared within " + std::to_string(kDialogAppearsMs / 1000) + " s";
  }
  return where + ": no " + name;
}

Settled Driver::WaitUntilSettled(DWORD limit) {
  const ULONGLONG deadline = GetTickCount64() + limit;
  auto left = [&] {
    return static_cast<DWORD>(std::max<LONGLONG>(static_cast<LONGLONG>(deadline - GetTickCount64()), 0));
  };
  for (;;) {
    const WPARAM round = ++round_;
    if (!PostMessageW(dialog_, probe.marker, round, 0)) return IsWindow(dialog_) ? Settled::kBusy : Settled::kClosed;
    Settled settled = Settled::kBusy;
    WaitFor(
        [&] {
          if (probe.lastRound.load() >= round) {
            settled = Settled::kIdle;
          } else if (!IsWindow(dialog_)) {
            settled = Settled::kClosed;
          }
          return settled != Settled::kBusy;
        },
        left());
    if (settled != Settled::kIdle || !settleRefresh_ || GetPropW(dialog_, kRefreshingProperty) == nullptr) {
      return settled;
    }
    // A refresh runs behind the idle dialog: once it is over, its news has been posted and is waited for again.
    if (!WaitFor([&] { return GetPropW(dialog_, kRefreshingProperty) == nullptr || !IsWindow(dialog_); }, left())) {
      return Settled::kBusy;
    }
  }
}

std::string Driver::Settle() {
  switch (WaitUntilSettled(kActionMs)) {
    case Settled::kIdle: return {};
    case Settled::kClosed: closed_ = true; return {};
    case Settled::kBusy: break;
  }
  return "the dialog was still busy after " + std::to_string(kActionMs / 1000) + " s";
}

HWND Driver::ChildDialog(bool withOkButton) const {
  for (HWND child = FindWindowExW(dialog_, nullptr, kDialogClass, nullptr); child != nullptr;
       child = FindWindowExW(dialog_, child, kDialogClass, nullptr)) {
    if ((GetDlgItem(child, IDOK) != nullptr) == withOkButton) return child;
  }
  return nullptr;
}

HWND Driver::Control(const UiTarget& target, std::string* error) const {
  HWND control = nullptr;
  const HWND panel = Panel();
  const HWND header = Header();
  if ((target.scope == UiScope::kAnyPart || target.scope == UiScope::kPanel) && panel != nullptr) {
    control = GetDlgItem(panel, target.id);
  }
  if (control == nullptr && (target.scope == UiScope::kAnyPart || target.scope == UiScope::kDialog)) {
    control = GetDlgItem(dialog_, target.id);
  }
  if (control == nullptr && (target.scope == UiScope::kAnyPart || target.scope == UiScope::kHeader) &&
      header != nullptr) {
    control = GetDlgItem(header, target.id);
  }
  if (control == nullptr) {
    const char* where = target.scope == UiScope::kPanel    ? "in the options panel"
                        : target.scope == UiScope::kDialog ? "in the dialog"
                        : target.scope == UiScope::kHeader ? "in the header bar"
                                                           : "in the options panel, the dialog or the header bar";
    *error = "no control " + std::to_string(target.id) + " " + where;
  }
  return control;
}

HWND Driver::Part(const UiTarget& target, std::string* error) const {
  HWND window = nullptr;
  switch (target.part) {
    case UiPart::kControl: return Control(target, error);
    case UiPart::kDialog: window = dialog_; break;
    case UiPart::kPanel: window = Panel(); break;
    case UiPart::kHeader: window = Header(); break;
    case UiPart::kStatusBar: window = FindWindowExW(dialog_, nullptr, L"Static", nullptr); break;
    case UiPart::kProgressBar: {
      const HWND status = FindWindowExW(dialog_, nullptr, L"Static", nullptr);
      if (status != nullptr) window = FindWindowExW(status, nullptr, PROGRESS_CLASSW, nullptr);
      break;
    }
  }
  if (window == nullptr) *error = "the dialog has no " + TargetText(target);
  return window;
}

// A person can only reach a control that shows and that neither it nor any window around it disables.
std::string Driver::Reachable(HWND control, const std::string& name) const {
  if (!IsWindowVisible(control)) return name + " is hidden";
  for (HWND window = control; window != nullptr; window = GetParent(window)) {
    if (!IsWindowEnabled(window)) {
      return window == control ? name + " is disabled" : name + " is inside a disabled window";
    }
    if (window == dialog_) break;
  }
  return {};
}

std::string Driver::Click(const UiTarget& target) {
  std::string error;
  const HWND control = Control(target, &error);
  if (control == nullptr) return error;
  const std::string name = "control " + TargetText(target);
  error = Reachable(control, name);
  if (!error.empty()) return error;
  if (HasClass(control, L"Button")) {
    if (!Send(control, BM_CLICK, 0, 0)) return name + " did not answer";
    return Settle();
  }
  const bool byMouse = std::any_of(std::begin(kMouseClickClasses), std::end(kMouseClickClasses),
                                   [&](const wchar_t* name) { return HasClass(control, name); });
  if (!byMouse) return name + " is a \"" + ClassText(control) + "\", which click does not press";
  const POINT centre = Centre(control);
  if (!Mouse(control, WM_MOUSEMOVE, 0, centre) || !Mouse(control, WM_LBUTTONDOWN, MK_LBUTTON, centre) ||
      !Mouse(control, WM_LBUTTONUP, 0, centre)) {
    return name + " did not answer";
  }
  return Settle();
}

std::string Driver::Select(const UiTarget& target, int32_t index) {
  std::string error;
  const HWND combo = Control(target, &error);
  if (combo == nullptr) return error;
  const std::string name = "control " + TargetText(target);
  if (!HasClass(combo, L"ComboBox")) return name + " is a \"" + ClassText(combo) + "\", not a combo box";
  error = Reachable(combo, name);
  if (!error.empty()) return error;
  LRESULT count = 0;
  if (!Send(combo, CB_GETCOUNT, 0, 0, &count)) return name + " did not answer";
  if (index >= count) return name + " has " + std::to_string(count) + " entries, so no index " + std::to_string(index);
  // What a person's pick from the list sends: the selection, confirmed, then changed.
  const WPARAM id = static_cast<WPARAM>(GetDlgCtrlID(combo)) & 0xFFFF;
  const HWND parent = GetParent(combo);
  if (!Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) ||
      !Send(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo)) ||
      !Send(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo))) {
    return name + " did not answer";
  }
  return Settle();
}

// The zoom and view lists belong to the dialog itself, above the preview.
std::string Driver::SelectInDialog(int id, const std::string& list, int32_t index) {
  if (GetDlgItem(dialog_, id) == nullptr) return "the dialog has no " + list + " (control " + std::to_string(id) + ")";
  UiTarget combo;
  combo.scope = UiScope::kDialog;
  combo.id = id;
  return Select(combo, index);
}

std::string Driver::Cell(int32_t index, bool twice) {
  const HWND panel = Panel();
  if (panel == nullptr) return "the dialog has no options panel";
  const int id = 334 + index;
  HWND cell = nullptr;
  // The cells sit in the palette view's container, a child of the panel.
  for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr && cell == nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    cell = GetDlgItem(child, id);
  }
  const std::string name = "palette cell " + std::to_string(index);
  if (cell == nullptr) return "no " + name + " (control " + std::to_string(id) + ") in the palette view";
  const std::string error = Reachable(cell, name);
  if (!error.empty()) return error;
  const POINT centre = Centre(cell);
  bool answered = Mouse(cell, WM_MOUSEMOVE, 0, centre) && Mouse(cell, WM_LBUTTONDOWN, MK_LBUTTON, centre) &&
                  Mouse(cell, WM_LBUTTONUP, 0, centre);
  if (twice) {
    answered = answered && Mouse(cell, WM_LBUTTONDBLCLK, MK_LBUTTON, centre) && Mouse(cell, WM_LBUTTONUP, 0, centre);
  }
  if (!answered) return name + " did not answer";
  return Settle();
}

std::string Driver::Drag(int32_t dx, int32_t dy) {
  const HWND preview = GetDlgItem(dialog_, 1005);
  if (preview == nullptr) return "the dialog has no preview (control 1005)";
  const std::string error = Reachable(preview, "the preview");
  if (!error.empty()) return error;
  const POINT start = Centre(preview);
  bool answered = Mouse(preview, WM_MOUSEMOVE, 0, start) && Mouse(preview, WM_LBUTTONDOWN, MK_LBUTTON, start);
  POINT at = start;
  for (int step = 1; step <= kDragSteps && answered; ++step) {
    at = POINT{start.x + dx * step / kDragSteps, start.y + dy * step / kDragSteps};
    answered = Mouse(preview, WM_MOUSEMOVE, MK_LBUTTON, at);
  }
  answered = answered && Mouse(preview, WM_LBUTTONUP, 0, at);
  if (!answered) return "the preview did not answer";
  return Settle();
}

std::string Driver::Resize(int32_t width, int32_t height) {
  if (!SetWindowPos(dialog_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    return "the dialog could not be resized (error " + std::to_string(GetLastError()) + ")";
  }
  return Settle();
}

// What the system sends a per-monitor aware window moved to a monitor of another DPI: the new DPI and a
// rectangle at the same place, its size scaled from the DPI the dialog has now.
std::string Driver::DpiChanged(int32_t dpi) {
  const int32_t now = DpiOfWindow(dialog_);
  RECT outer{};
  GetWindowRect(dialog_, &outer);
  RECT suggested{outer.left, outer.top, outer.left + MulDiv(outer.right - outer.left, dpi, now),
                 outer.top + MulDiv(outer.bottom - outer.top, dpi, now)};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(dialog_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested),
                           SMTO_NORMAL, kDialogClosesMs, &answer)) {
    return "the dialog did not answer WM_DPICHANGED";
  }
  return Settle();
}

std::string Driver::Hover(const UiTarget& target) {
  std::string error;
  const HWND control = Control(target, &error);
  if (control == nullptr) return error;
  const std::string name = "control " + TargetText(target);
  error = Reachable(control, name);
  if (!error.empty()) return error;
  if (!Mouse(control, WM_MOUSEMOVE, 0, Centre(control))) return name + " did not answer";
  return Settle();
}

std::string Driver::Snapshot(const std::string& path) {
  // Everything is painted afresh, as PrintWindow would: under wine a resize can leave children showing bits
  // that were copied from an old window surface instead of painted.
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  std::string error = Settle();  // paints on the dialog's thread
  if (!error.empty() || closed_) return error.empty() ? "the dialog has closed" : error;
  RECT client{};
  GetClientRect(dialog_, &client);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) return "the dialog has no client area to take";
  gdi::WindowDc screen(dialog_);
  if (screen.get() == nullptr) return "no device context for the dialog";
  gdi::DcOwner memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  gdi::BitmapOwner picture(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (memory.get() == nullptr || picture.get() == nullptr || bits == nullptr) return "no memory for the snapshot";
  gdi::SelectGuard onPicture(memory.get(), picture.get());
  // A failed SelectObject leaves the DC's old bitmap current.
  if (GetCurrentObject(memory.get(), OBJ_BITMAP) != picture.get() ||
      !BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY)) {
    return "the dialog's pixels could not be copied";
  }
  GdiFlush();
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  const auto* source = static_cast<const uint8_t*>(bits);  // blue, green, red, unused
  for (size_t pixel = 0; pixel < static_cast<size_t>(width) * height; ++pixel) {
    rgb[pixel * 3] = source[pixel * 4 + 2];
    rgb[pixel * 3 + 1] = source[pixel * 4 + 1];
    rgb[pixel * 3 + 2] = source[pixel * 4];
  }
  if (!WriteRgbPngFile(path, width, height, rgb, &error)) return error;
  return {};
}

std::string Driver::Close(int buttonId) {
  UiTarget button;
  // The preview dialog's OK and Cancel sit in its options panel; the About box has its button itself.
  button.scope = run_.dialog == UiDialog::kAbout ? UiScope::kDialog : UiScope::kPanel;
  button.id = buttonId;
  const ULONGLONG pressed = GetTickCount64();
  pressedAt_ = pressed;
  const std::string error = Click(button);
  if (!error.empty()) return error;
  // OK waits for a refresh that is still running.
  if (!WaitFor([&] { return !IsWindow(dialog_); }, buttonId == IDOK ? kActionMs : kDialogClosesMs)) {
    return std::string(buttonId == IDOK ? "OK" : "Cancel") + " was pressed but the dialog did not close";
  }
  closedAfterMs_ = static_cast<int64_t>(GetTickCount64() - pressed);
  closed_ = true;
  return {};
}

std::string Driver::Report(const UiTarget& target) {
  std::string error;
  const HWND window = Part(target, &error);
  if (window == nullptr) return error;
  RECT outer{};
  GetWindowRect(window, &outer);
  std::printf("rect %s %ld %ld %ld %ld %s %s\n", TargetText(target).c_str(), static_cast<long>(outer.left),
              static_cast<long>(outer.top), static_cast<long>(outer.right - outer.left),
              static_cast<long>(outer.bottom - outer.top), IsWindowVisible(window) ? "visible" : "hidden",
              IsWindowEnabled(window) ? "enabled" : "disabled");
  std::fflush(stdout);
  return {};
}

// The size of the bitmap a button shows (BM_GETIMAGE), so that a script can tell which scale's artwork it has.
std::string Driver::ReportImage(const UiTarget& target) {
  std::string error;
  const HWND window = Part(target, &error);
  if (window == nullptr) return error;
  const auto image = reinterpret_cast<HBITMAP>(SendMessageW(window, BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP bitmap{};
  if (image == nullptr || GetObjectW(image, sizeof bitmap, &bitmap) == 0) {
    std::printf("image %s none\n", TargetText(target).c_str());
  } else {
    std::printf("image %s %ld %ld\n", TargetText(target).c_str(), static_cast<long>(bitmap.bmWidth),
                static_cast<long>(bitmap.bmHeight));
  }
  std::fflush(stdout);
  return {};
}

// How wide a control's text is in the control's own font, and the room the control has for it: its client width,
// less the box or circle of a check box or radio button.
std::string Driver::ReportText(const UiTarget& target) {
  std::string error;
  const HWND window = Part(target, &error);
  if (window == nullptr) return error;
  wchar_t text[256] = {};
  const int length = GetWindowTextW(window, text, 256);
  RECT client{};
  GetClientRect(window, &client);
  long room = client.right - client.left;
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR kind = style & BS_TYPEMASK;
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (lstrcmpiW(className, L"Button") == 0 &&
      (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON ||
       kind == BS_3STATE || kind == BS_AUTO3STATE)) {
    room -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
  }
  SIZE extent{};
  HDC dc = GetDC(window);
  if (dc == nullptr) return "cannot measure the text of " + TargetText(target);
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
  const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
  GetTextExtentPoint32W(dc, text, length, &extent);
  if (previous != nullptr) SelectObject(dc, previous);
  ReleaseDC(window, dc);
  std::printf("text %s %ld %ld\n", TargetText(target).c_str(), static_cast<long>(extent.cx), room);
  std::fflush(stdout);
  return {};
}

// What `key` presses for each name: the key, and the key held around it (0 for none).
struct KeyStroke {
  UiKey key;
  WORD virtualKey;
  WORD modifier;
};
const KeyStroke kKeyStrokes[] = {
    {UiKey::kTab, VK_TAB, 0},
    {UiKey::kShiftTab, VK_TAB, VK_SHIFT},
    {UiKey::kEnter, VK_RETURN, 0},
    {UiKey::kSpace, VK_SPACE, 0},
    {UiKey::kEscape, VK_ESCAPE, 0},
    {UiKey::kLeft, VK_LEFT, 0},
    {UiKey::kRight, VK_RIGHT, 0},
    {UiKey::kUp, VK_UP, 0},
    {UiKey::kDown, VK_DOWN, 0},
    {UiKey::kCtrlPlus, VK_OEM_PLUS, VK_CONTROL},
    {UiKey::kCtrlMinus, VK_OEM_MINUS, VK_CONTROL},
    {UiKey::kCtrlZero, '0', VK_CONTROL},
    {UiKey::kCtrlOne, '1', VK_CONTROL},
};

// The key goes in as a keyboard's would: into the input of the thread whose window is active, through the
// dialog's message loop (so the dialog manager sees Tab, Enter and Escape, and the dialog's keyboard hook its
// Ctrl keys), with Shift or Ctrl held around the key.
std::string Driver::Key(UiKey key) {
  const auto stroke = std::find_if(std::begin(kKeyStrokes), std::end(kKeyStrokes),
                                   [&](const KeyStroke& candidate) { return candidate.key == key; });
  if (stroke == std::end(kKeyStrokes)) return std::string("key ") + KeyText(key) + " has no key to press";
  const WORD virtualKey = stroke->virtualKey;
  const WORD modifier = stroke->modifier;
  INPUT inputs[4] = {};
  UINT count = 0;
  auto press = [&](WORD code, bool up) {
    inputs[count].type = INPUT_KEYBOARD;
    inputs[count].ki.wVk = code;
    inputs[count].ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
    inputs[count].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++count;
  };
  if (modifier != 0) press(modifier, false);
  press(virtualKey, false);
  press(virtualKey, true);
  if (modifier != 0) press(modifier, true);
  // A window of the dialog's thread (the dialog, or a box it opened) has the keyboard, as for a person at it.
  if (GetWindowThreadProcessId(GetForegroundWindow(), nullptr) != run_.dialogThread) SetForegroundWindow(dialog_);
  const int before = probe.keysUp.load();
  const int released = modifier != 0 ? 2 : 1;  // the key's release, and the modifier's
  if (SendInput(count, inputs, sizeof(INPUT)) != count)
    return std::string("key ") + KeyText(key) + " could not be sent";
  // Input comes after posted messages: wait until the keys are out of the queue, then for idle.
  if (!WaitFor([&] { return probe.keysUp.load() - before >= released || !IsWindow(dialog_); }, kActionMs)) {
    return std::string("key ") + KeyText(key) + " did not reach the dialog";
  }
  return Settle();
}

std::string Driver::ReportFocus() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(run_.dialogThread, &info)) return "the focus could not be read";
  if (info.hwndFocus == nullptr) {
    std::printf("focus none\n");
  } else {
    std::printf("focus %d %s\n", GetDlgCtrlID(info.hwndFocus), ClassText(info.hwndFocus).c_str());
  }
  std::fflush(stdout);
  return {};
}

std::string Driver::StartWatch() {
  watchdog_ = std::make_unique<QueueWatchdog>(dialog_);
  if (!watchdog_->Running()) return "the watchdog could not be started";
  return {};
}

std::string Driver::ReportWatch() {
  if (watchdog_ == nullptr) return "watched comes after watch";
  watchdog_->Stop();
  std::printf("watched %d pings, longest unanswered %llu ms\n", watchdog_->pings,
              static_cast<unsigned long long>(watchdog_->longest));
  if (closedAfterMs_ >= 0) {
    const ULONGLONG hidden = watchdog_->hiddenAt;
    std::printf("closed %lld ms after the press, hidden after %lld ms\n", static_cast<long long>(closedAfterMs_),
                hidden >= pressedAt_ ? static_cast<long long>(hidden - pressedAt_) : -1LL);
  }
  std::fflush(stdout);
  watchdog_.reset();
  return {};
}

std::string Driver::Do(const UiAction& action) {
  switch (action.verb) {
    case UiVerb::kClick: return Click(action.target);
    case UiVerb::kSelect: return Select(action.target, action.first);
    case UiVerb::kCell: return Cell(action.first, false);
    case UiVerb::kDoubleCell: return Cell(action.first, true);
    case UiVerb::kDrag: return Drag(action.first, action.second);
    case UiVerb::kResize: return Resize(action.first, action.second);
    case UiVerb::kHover: return Hover(action.target);
    case UiVerb::kWait: Sleep(static_cast<DWORD>(action.first)); return Settle();
    case UiVerb::kSnapshot: return Snapshot(action.path);
    case UiVerb::kOk: return Close(IDOK);
    case UiVerb::kCancel: return Close(IDCANCEL);
    case UiVerb::kRect: return Report(action.target);
    case UiVerb::kKey: return Key(static_cast<UiKey>(action.first));
    case UiVerb::kFocus: return ReportFocus();
    case UiVerb::kSettle: settleRefresh_ = action.first != 0; return {};
    case UiVerb::kWatch: return StartWatch();
    case UiVerb::kWatched: return ReportWatch();
    case UiVerb::kDpi: return DpiChanged(action.first);
    case UiVerb::kText: return ReportText(action.target);
    case UiVerb::kImage: return ReportImage(action.target);
    case UiVerb::kZoom: return SelectInDialog(kZoomListId, "zoom list", action.first);
    case UiVerb::kView: return SelectInDialog(kViewListId, "view list", action.first);
  }
  return "unknown action";
}

// Visible or not: a box whose opening has disabled the dialog may not be shown yet, and would be left open.
BOOL CALLBACK CancelOtherDialog(HWND window, LPARAM dialog) {
  if (window != reinterpret_cast<HWND>(dialog) && HasClass(window, kDialogClass)) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  }
  return TRUE;
}

// After a failure the dialog is cancelled directly, so that the plug-in and the process come to an end; a box
// it opened on top (the About box, a colour dialog) is cancelled first, or the dialog could not end.
std::string Driver::Abandon() {
  if (dialog_ == nullptr || closed_ || !IsWindow(dialog_)) return {};
  EnumThreadWindows(run_.dialogThread, CancelOtherDialog, reinterpret_cast<LPARAM>(dialog_));
  PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  if (WaitFor([&] { return !IsWindow(dialog_); }, kDialogClosesMs)) return {};
  return "; the dialog could not be cancelled either";
}

std::string Driver::Perform() {
  const std::string firstPlace =
      run_.actions.empty() ? "end of script" : "line " + std::to_string(run_.actions.front().line);
  std::string failure = WaitForDialog(firstPlace);
  if (!failure.empty()) return failure;
  QueueWatch watch(dialog_, run_.dialogThread);
  if (!watch.Installed()) {
    failure = firstPlace + ": cannot watch the dialog's messages (error " + std::to_string(GetLastError()) + ")";
    return failure + Abandon();
  }
  failure = Settle();  // the first paint
  if (!failure.empty()) return firstPlace + ": " + failure + Abandon();
  for (const UiAction& action : run_.actions) {
    const std::string place = "line " + std::to_string(action.line);
    if (closed_ || !IsWindow(dialog_)) return place + ": the dialog has already closed";
    failure = Do(action);
    if (!failure.empty()) return place + ": " + failure + Abandon();
  }
  if (!closed_ && IsWindow(dialog_)) {
    // A script that does not close the dialog ends with Cancel.
    failure = Close(IDCANCEL);
    if (!failure.empty()) return "end of script: " + failure + Abandon();
  }
  // Still watching when the dialog closed: the closing itself was watched too.
  if (watchdog_ != nullptr) return ReportWatch();
  return {};
}

unsigned __stdcall DriveDialog(void* parameter) {
  auto* run = static_cast<UiDriver::Run*>(parameter);
  Driver driver(*run);
  run->failure = driver.Perform();
  return 0;
}

}  // namespace

UiDriver::UiDriver() = default;

UiDriver::~UiDriver() { Finish(); }

bool UiDriver::Supported() { return true; }

bool UiDriver::Start(std::vector<UiAction> actions, UiDialog dialog, std::string* error) {
  auto run = std::make_unique<Run>();
  run->actions = std::move(actions);
  run->dialog = dialog;
  run->dialogThread = GetCurrentThreadId();
  run->callOver = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (run->callOver == nullptr) {
    *error = "cannot make an event for the UI script";
    return false;
  }
  const uintptr_t thread = _beginthreadex(nullptr, 0, DriveDialog, run.get(), 0, nullptr);
  if (thread == 0) {
    CloseHandle(run->callOver);
    *error = "cannot start the thread for the UI script";
    return false;
  }
  run->thread = reinterpret_cast<HANDLE>(thread);
  run_ = std::move(run);
  return true;
}

std::string UiDriver::Finish() {
  if (run_ == nullptr) return {};
  SetEvent(run_->callOver);
  // The driver may be sending to a window of this thread; such messages are delivered while waiting.
  while (MsgWaitForMultipleObjects(1, &run_->thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  }
  CloseHandle(run_->thread);
  CloseHandle(run_->callOver);
  const std::string failure = run_->failure;
  run_.reset();
  return failure;
}
