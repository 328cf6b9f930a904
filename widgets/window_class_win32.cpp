#include "widgets/window_class_win32.h"

#include "base/debug_log.h"
#include "base/platform.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/offscreen_win32.h"

namespace {

HINSTANCE Module() { return static_cast<HINSTANCE>(platform::ModuleInstance()); }

ToolkitControl* Attached(HWND window) { return reinterpret_cast<ToolkitControl*>(GetWindowLongPtrW(window, 0)); }

void StoreClientSize(ToolkitControl& control) {
  RECT client{};
  GetClientRect(control.window, &client);
  control.clientWidth = client.right - client.left;
  control.clientHeight = client.bottom - client.top;
}

}  // namespace

LRESULT ToolkitControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      clientWidth = LOWORD(lParam);
      clientHeight = HIWORD(lParam);
      OnResized();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused = message == WM_SETFOCUS;
      InvalidateRect(window, nullptr, FALSE);
      UpdateWindow(window);
      return 0;
    case WM_GETDLGCODE: {
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      const bool pressKey =
          key != nullptr && (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
          (key->wParam == VK_RETURN || key->wParam == VK_SPACE || key->wParam == L'\r' || key->wParam == L' ');
      if (PressesWithKeys() && pressKey) return DLGC_WANTMESSAGE;
      break;
    }
    case WM_KEYDOWN:
      if (PressesWithKeys() && IsPressKey(wParam, lParam)) {
        OnKeyPress();
        return 0;
      }
      break;
    case WM_CHAR:
      if (PressesWithKeys() && (wParam == L'\r' || wParam == L' ')) return 0;  // pressed on the key going down
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) OnCaptureLost();
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT PaintedControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      gdi::PaintScope paint(window);
      PaintThrough(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT: PaintThrough(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;  // the off-screen paint covers every pixel
  }
  return ToolkitControl::OnMessage(message, wParam, lParam);
}

void PaintedControl::PaintThrough(HDC target) const {
  OffscreenBuffer buffer(target, clientWidth, clientHeight);
  Paint(buffer.dc());
  buffer.Flush();
}

bool IsPressKey(WPARAM virtualKey, LPARAM keyFlags) {
  const bool repeat = (keyFlags & (LPARAM{1} << 30)) != 0;
  return (virtualKey == VK_RETURN || virtualKey == VK_SPACE) && !repeat;
}

void DrawFocusCue(HDC dc, SIZE size, int width) {
  // Nested one-pixel rectangles: each touches pixels of its own only, so their inverting draws do not cancel.
  for (int inset = width; inset < 2 * width; ++inset) {
    if (size.cx < 2 * inset + 1 || size.cy < 2 * inset + 1) return;
    const RECT cue{inset, inset, size.cx - inset, size.cy - inset};
    DrawFocusRect(dc, &cue);
  }
}

bool RegisterToolkitClass(const wchar_t* name, UINT style, LPCWSTR cursor, WNDPROC procedure, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = sizeof(ToolkitControl*);
  windowClass.hInstance = Module();
  windowClass.hCursor = LoadCursorW(nullptr, cursor);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0;
}

void UnregisterToolkitClass(const wchar_t* name) { UnregisterClassW(name, Module()); }

ToolkitControl* GetControlObject(HWND window, const wchar_t* className) {
  if (window == nullptr) return nullptr;
  wchar_t name[65] = {};
  if (GetClassNameW(window, name, 64) == 0 || lstrcmpW(name, className) != 0) return nullptr;
  return Attached(window);
}

HWND CreateToolkitWindow(std::unique_ptr<ToolkitControl> control, const wchar_t* className, DWORD style, int x, int y,
                         int width, int height, HWND parent, int controlId) {
  return CreateWindowExW(0, className, L"", style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), Module(), &control);
}

LRESULT ToolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          std::unique_ptr<ToolkitControl> (*makeDefault)()) {
  try {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      auto* offered = static_cast<std::unique_ptr<ToolkitControl>*>(create->lpCreateParams);
      std::unique_ptr<ToolkitControl> control = offered != nullptr && *offered ? std::move(*offered) : makeDefault();
      control->window = window;
      control->controlId = static_cast<int>(reinterpret_cast<INT_PTR>(create->hMenu));
      SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(control.release()));
    }
    ToolkitControl* control = Attached(window);
    if (control == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_CREATE) StoreClientSize(*control);
    if (message == WM_NCDESTROY) {
      const LRESULT result = control->OnMessage(message, wParam, lParam);
      SetWindowLongPtrW(window, 0, 0);
      delete control;
      return result;
    }
    return control->OnMessage(message, wParam, lParam);
  } catch (...) {
    DebugLog("toolkit window procedure: exception stopped");
    return DefWindowProcW(window, message, wParam, lParam);
  }
}
