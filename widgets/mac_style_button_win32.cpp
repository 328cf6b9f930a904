#include "widgets/mac_style_button_win32.h"

#include <memory>

#include "base/platform.h"
#include "widgets/bitmap_copy_win32.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_owners_win32.h"

namespace {

constexpr int kSkinWidth = 18;
constexpr int kSkinHeight = 24;
constexpr int kCaptionTop = 4;
constexpr COLORREF kInactiveText = 0x7F7F7F;
constexpr COLORREF kActiveText = RGB(0, 0, 0);

POINT PointFrom(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

std::unique_ptr<ToolkitControl> MakeMacStyleBtn() { return std::make_unique<MacStyleBtn>(); }

LRESULT CALLBACK MacStyleBtnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ToolkitWindowProc(window, message, wParam, lParam, &MakeMacStyleBtn);
}

int commonUsers = 0;

}  // namespace

void PaintMacStyleBtn(HDC dc, SIZE size, const MacStyleBtnLook& look, const shared::ButtonSkins& skins, HFONT font,
                      HBRUSH background) {
  const RECT client{0, 0, size.cx, size.cy};
  if (background != nullptr) FillRect(dc, &client, background);
  const int skin = look.active && look.state >= 0 && look.state < shared::kSkinLooks ? look.state : shared::kSkinNormal;
  // The caps at the screen's size; skins drawn for a larger scale are shrunk to it, never smaller ones grown.
  const int capWidth = ScaledForDpi(kSkinWidth, skins.dpi);
  const int capHeight = ScaledForDpi(kSkinHeight, skins.dpi);
  if (capWidth == ArtworkScaledSize(kSkinWidth, skins.scale) &&
      capHeight == ArtworkScaledSize(kSkinHeight, skins.scale)) {
    CopyBitmap(dc, 0, 0, capWidth, capHeight, skins.left[skin], 0, 0);
    CopyBitmap(dc, size.cx - capWidth, 0, capWidth, capHeight, skins.right[skin], 0, 0);
  } else {
    StretchBitmap(dc, 0, 0, capWidth, capHeight, skins.left[skin], HALFTONE);
    StretchBitmap(dc, size.cx - capWidth, 0, capWidth, capHeight, skins.right[skin], HALFTONE);
  }
  StretchBitmap(dc, capWidth, 0, size.cx - 2 * capWidth, capHeight, skins.middle[skin]);
  if (look.focused) DrawFocusCue(dc, size, ScaledForDpi(1, skins.dpi));
  if (look.caption == nullptr || look.caption[0] == L'\0') return;
  gdi::SelectGuard onFont(dc, font);
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF previousColor = SetTextColor(dc, look.active ? kActiveText : kInactiveText);
  RECT text{0, ScaledForDpi(kCaptionTop, skins.dpi), size.cx, size.cy};
  DrawTextW(dc, look.caption, -1, &text, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SetTextColor(dc, previousColor);
  SetBkMode(dc, previousMode);
}

LRESULT MacStyleBtn::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: return OnMouseMove(PointFrom(lParam));
    case WM_LBUTTONDOWN: return OnPress();
    case WM_LBUTTONUP: return OnRelease();
    case WM_COMMAND: return OnForwardCommand(wParam, lParam);
  }
  return PaintedControl::OnMessage(message, wParam, lParam);
}

void MacStyleBtn::Paint(HDC dc) const {
  MacStyleBtnLook look;
  look.state = state;
  look.active = active != 0;
  look.caption = caption.empty() ? nullptr : reinterpret_cast<const wchar_t*>(caption.c_str());
  look.focused = focused;
  PaintMacStyleBtn(dc, SIZE{clientWidth, clientHeight}, look, shared::MacStyleSkins(), shared::ButtonFont(),
                   shared::BackgroundBrush());
}

LRESULT MacStyleBtn::OnMouseMove(POINT at) {
  if (active == 0) return 0;
  const bool inside = at.x >= 0 && at.y >= 0 && at.x < clientWidth && at.y < clientHeight;
  if (inside) {
    if (state == kHover) return 0;
    SetCapture(window);  // so that leaving the button is seen
    state = kHover;
  } else {
    ReleaseCapture();
    state = RestState();
  }
  Repaint();
  return 0;
}

LRESULT MacStyleBtn::OnPress() {
  if (active == 0) return 0;
  state = kPressed;
  Repaint();
  return 0;
}

// Honoured even while inactive, so a press always ends in the look at rest and its command.
LRESULT MacStyleBtn::OnRelease() {
  state = RestState();
  Repaint();
  PostMessageW(GetParent(window), WM_COMMAND, static_cast<WPARAM>(controlId), 0);
  return 0;
}

void MacStyleBtn::OnKeyPress() { PostMessageW(GetParent(window), WM_COMMAND, static_cast<WPARAM>(controlId), 0); }

void MacStyleBtn::OnCaptureLost() {
  if (state == RestState()) return;
  state = RestState();
  Repaint();
}

LRESULT MacStyleBtn::OnForwardCommand(WPARAM wParam, LPARAM lParam) {
  PostMessageW(GetParent(window), WM_COMMAND, wParam, lParam);
  return 0;
}

void MacStyleBtn::Repaint() {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

bool InitMacStyleBtnCommon() {
  const bool looks = shared::AcquireButtonLook(shared::ResourceModule());
  if (commonUsers++ == 0 && !shared::RegisterSharedLookClass(kMacStyleBtnClass, 0, IDC_ARROW, &MacStyleBtnProc)) {
    return false;
  }
  return looks;
}

void ReleaseMacStyleBtnCommon() {
  if (commonUsers == 0) return;
  if (--commonUsers == 0) UnregisterToolkitClass(kMacStyleBtnClass);
  shared::ReleaseButtonLook();
}

MacStyleBtn* InitMacStyleBtn(HWND dialog, int itemId, const char* caption, bool isDefault) {
  auto* button = GetControl<MacStyleBtn>(dialog, itemId, kMacStyleBtnClass);
  if (button == nullptr) return nullptr;
  button->isDefault = isDefault ? 1 : 0;
  button->state = button->RestState();
  button->active = 1;
  if (caption != nullptr) button->caption = platform::FromUtf8(caption);
  button->Repaint();
  return button;
}
