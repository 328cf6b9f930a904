#include "widgets/tooltip_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/platform.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/window_dpi_win32.h"

namespace {

constexpr int kMaximumTipWidth = 100;  // at 96 dpi

// Longer texts wrap at this width, in the pixels of the control's screen.
void SetMaximumTipWidth(HWND tooltip, HWND control) {
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, ScaledForDpi(kMaximumTipWidth, DpiOfWindow(control)));
}

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Windows makes the control's top-level window the owner of a pop-up, so the tooltip would outlive a control
// destroyed before its dialog; this subclass, keyed by the tooltip window, ends it with the control. It also
// keeps the tip's width in step when the control moves to a screen of another DPI.
LRESULT CALLBACK EndTooltipWithControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR key,
                                       DWORD_PTR) {
  if (message == WM_DPICHANGED_AFTERPARENT) SetMaximumTipWidth(reinterpret_cast<HWND>(key), control);
  if (message == WM_NCDESTROY) {
    HWND tooltip = reinterpret_cast<HWND>(key);
    if (IsWindow(tooltip)) DestroyWindow(tooltip);
    RemoveWindowSubclass(control, &EndTooltipWithControl, key);
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

HWND AddTooltip(HWND control, const char* text, const char* title) {
  if (control == nullptr || !IsWindow(control) || text == nullptr) return nullptr;
  HWND tooltip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | WS_CAPTION | TTS_BALLOON | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr, shared::ResourceModule(), nullptr);
  if (tooltip == nullptr) return nullptr;
  SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  std::u16string wideText = platform::FromUtf8(text);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every common-controls version that knows balloons
  tool.uFlags = TTF_SUBCLASS | TTF_CENTERTIP | TTF_TRANSPARENT;
  tool.hwnd = control;
  tool.uId = 0;
  tool.hinst = shared::ResourceModule();
  tool.lpszText = const_cast<wchar_t*>(Wide(wideText));
  GetClientRect(control, &tool.rect);
  if (SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) == FALSE ||
      !SetWindowSubclass(control, &EndTooltipWithControl, reinterpret_cast<UINT_PTR>(tooltip), 0)) {
    DestroyWindow(tooltip);
    return nullptr;
  }
  if (title != nullptr) {
    const std::u16string wideTitle = platform::FromUtf8(title);
    SendMessageW(tooltip, TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(Wide(wideTitle)));
  }
  SetMaximumTipWidth(tooltip, control);
  return tooltip;
}
