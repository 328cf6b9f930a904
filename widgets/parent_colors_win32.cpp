#include "widgets/parent_colors_win32.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 0x50434C;  // one subclass of this kind per window

LRESULT CALLBACK ForwardColors(HWND container, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_CTLCOLORSTATIC) {
    if (HWND parent = GetParent(container)) return SendMessageW(parent, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(container, &ForwardColors, kSubclassId);
  return DefSubclassProc(container, message, wParam, lParam);
}

}  // namespace

bool ForwardChildColorsToParent(HWND container) {
  return SetWindowSubclass(container, &ForwardColors, kSubclassId, 0) != FALSE;
}
