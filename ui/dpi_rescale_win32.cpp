#include "ui/dpi_rescale_win32.h"

namespace {

struct Rescale {
  int from;
  int to;
  HFONT oldFont;
  HFONT newFont;
};

BOOL CALLBACK RescaleChild(HWND child, LPARAM parameter) {
  const Rescale& rescale = *reinterpret_cast<const Rescale*>(parameter);
  RECT place{};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
  const auto at = [&rescale](LONG value) { return MulDiv(value, rescale.to, rescale.from); };
  MoveWindow(child, at(place.left), at(place.top), at(place.right - place.left), at(place.bottom - place.top), FALSE);
  if (rescale.oldFont != nullptr && rescale.newFont != nullptr &&
      reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == rescale.oldFont) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(rescale.newFont), FALSE);
  }
  return TRUE;
}

}  // namespace

HFONT FontScaledLike(HFONT font, int from, int to) {
  LOGFONTW look{};
  if (font == nullptr || GetObjectW(font, sizeof look, &look) != sizeof look) return nullptr;
  look.lfHeight = MulDiv(look.lfHeight, to, from);
  look.lfWidth = MulDiv(look.lfWidth, to, from);
  return CreateFontIndirectW(&look);
}

void RescaleChildren(HWND parent, int from, int to, HFONT oldFont, HFONT newFont) {
  if (from <= 0 || to <= 0 || from == to) return;
  Rescale rescale{from, to, oldFont, newFont};
  EnumChildWindows(parent, RescaleChild, reinterpret_cast<LPARAM>(&rescale));
}
