#include "widgets/window_dpi_win32.h"

#include "widgets/dpi_scale.h"

int32_t DpiOfWindow(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (dpiForWindow != nullptr && window != nullptr) {
    const UINT dpi = dpiForWindow(window);
    if (dpi > 0) return static_cast<int32_t>(dpi);
  }
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return kBaseDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}
