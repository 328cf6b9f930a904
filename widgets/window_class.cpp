#include "widgets/window_class.h"

#include "base/debug_log.h"
#include "base/platform.h"

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
  return DefWindowProcW(window, message, wParam, lParam);
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
