#include "ui/dialog_colors_win32.h"

#include "widgets/gdi_shared_win32.h"

INT_PTR StaticTextColors(HDC dc) {
  SetTextColor(dc, kStaticTextColor);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
}
