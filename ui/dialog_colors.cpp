#include "ui/dialog_colors.h"

#include "widgets/gdi_shared.h"

INT_PTR StaticTextColors(HDC dc) {
  SetTextColor(dc, kStaticTextColor);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
}
