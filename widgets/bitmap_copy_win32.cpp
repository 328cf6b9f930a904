#include "widgets/bitmap_copy_win32.h"

#include "widgets/gdi_owners_win32.h"

void CopyBitmap(HDC target, int x, int y, int width, int height, HBITMAP source, int sourceX, int sourceY) {
  if (source == nullptr || width <= 0 || height <= 0) return;
  gdi::DcOwner sourceDc(CreateCompatibleDC(target));
  if (sourceDc.get() == nullptr) return;
  gdi::SelectGuard onSource(sourceDc.get(), source);
  BitBlt(target, x, y, width, height, sourceDc.get(), sourceX, sourceY, SRCCOPY);
}

void StretchBitmap(HDC target, int x, int y, int width, int height, HBITMAP source, int mode) {
  const SIZE size = BitmapSize(source);
  if (size.cx <= 0 || size.cy <= 0 || width <= 0 || height <= 0) return;
  gdi::DcOwner sourceDc(CreateCompatibleDC(target));
  if (sourceDc.get() == nullptr) return;
  gdi::SelectGuard onSource(sourceDc.get(), source);
  const int previousMode = SetStretchBltMode(target, mode);
  POINT origin{};
  if (mode == HALFTONE) SetBrushOrgEx(target, 0, 0, &origin);  // as HALFTONE asks
  StretchBlt(target, x, y, width, height, sourceDc.get(), 0, 0, size.cx, size.cy, SRCCOPY);
  SetStretchBltMode(target, previousMode);
  if (mode == HALFTONE) SetBrushOrgEx(target, origin.x, origin.y, nullptr);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}
