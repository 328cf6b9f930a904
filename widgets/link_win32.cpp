#include "widgets/link_win32.h"

#include <memory>

#include "base/platform.h"
#include "widgets/bitmap_copy_win32.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/window_dpi_win32.h"

namespace {

constexpr COLORREF kLinkColor = 0xFF0000;  // blue in 0x00BBGGRR
constexpr COLORREF kTextColor = RGB(0, 0, 0);

std::unique_ptr<ToolkitControl> MakeLinkText() { return std::make_unique<LinkText>(); }

LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ToolkitWindowProc(window, message, wParam, lParam, &MakeLinkText);
}

int commonUsers = 0;

}  // namespace

void PaintLinkText(HDC dc, SIZE size, const LinkPaint& paint) {
  const RECT client{0, 0, size.cx, size.cy};
  if (paint.background != nullptr) FillRect(dc, &client, paint.background);
  CopyBitmap(dc, 0, 0, size.cx, size.cy, paint.backgroundBitmap, paint.source.x, paint.source.y);
  if (paint.focused) DrawFocusCue(dc, size, ScaledForDpi(1, paint.dpi));
  if (paint.text == nullptr || paint.text[0] == L'\0') return;
  gdi::SelectGuard onFont(dc, paint.font);
  const int length = lstrlenW(paint.text);
  SIZE extent{0, 0};
  GetTextExtentPoint32W(dc, paint.text, length, &extent);
  const int x = paint.leftAligned ? 0 : (size.cx - extent.cx) / 2;
  const int y = (size.cy - extent.cy) / 2;
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF previousColor = SetTextColor(dc, paint.color);
  TextOutW(dc, x, y, paint.text, length);
  SetTextColor(dc, previousColor);
  SetBkMode(dc, previousMode);
}

LRESULT LinkText::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: return OnMouseMove();
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case WM_LBUTTONDOWN: return OnPress();
    case WM_COMMAND: return OnForwardCommand(wParam, lParam);
  }
  return PaintedControl::OnMessage(message, wParam, lParam);
}

LinkPaint LinkText::PaintInputs() const {
  LinkPaint paint;
  const bool painted = look == kLookOnDialog && !text.empty();
  paint.text = painted ? reinterpret_cast<const wchar_t*>(text.c_str()) : nullptr;
  paint.active = active != 0;
  paint.dpi = DpiOfWindow(window);
  paint.leftAligned = leftAligned != 0;
  paint.backgroundBitmap = bitmapBackground != 0 ? backgroundBitmap : nullptr;
  paint.source = backgroundSource;
  paint.background = shared::BackgroundBrush();
  if (paint.active) {
    paint.font = linkFont != nullptr ? linkFont : shared::LinkUnderlinedFont();
    paint.color = kLinkColor;
  } else {
    paint.font = normalFont != nullptr ? normalFont : shared::LinkBoldFont();
    paint.color = kTextColor;
  }
  if (hasCustomColor != 0) paint.color = customColor;
  paint.focused = focused;
  return paint;
}

void LinkText::Repaint() {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void LinkText::Paint(HDC dc) const { PaintLinkText(dc, SIZE{clientWidth, clientHeight}, PaintInputs()); }

LRESULT LinkText::OnMouseMove() {
  if (active != 0 && shared::HandCursor() != nullptr) SetCursor(shared::HandCursor());
  return 0;
}

// Keeps the hand over an active link; otherwise the class's arrow.
LRESULT LinkText::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (active != 0 && LOWORD(lParam) == HTCLIENT && shared::HandCursor() != nullptr) {
    SetCursor(shared::HandCursor());
    return TRUE;
  }
  return ToolkitControl::OnMessage(WM_SETCURSOR, wParam, lParam);
}

LRESULT LinkText::OnPress() {
  if (active != 0) SendMessageW(GetParent(window), WM_COMMAND, static_cast<WPARAM>(controlId), 0);
  return 0;
}

void LinkText::OnKeyPress() { OnPress(); }

LRESULT LinkText::OnForwardCommand(WPARAM wParam, LPARAM lParam) {
  PostMessageW(GetParent(window), WM_COMMAND, wParam, lParam);
  return 0;
}

bool InitLinkCommon() {
  const bool looks = shared::AcquireLinkLook();
  if (commonUsers++ == 0 && !shared::RegisterSharedLookClass(kLinkClass, 0, IDC_ARROW, &LinkProc)) return false;
  return looks;
}

void ReleaseLinkCommon() {
  if (commonUsers == 0) return;
  if (--commonUsers == 0) UnregisterToolkitClass(kLinkClass);
  shared::ReleaseLinkLook();
}

LinkText* InitLink(HWND dialog, int itemId, const char* text, bool active, bool leftAligned) {
  auto* link = GetControl<LinkText>(dialog, itemId, kLinkClass);
  if (link == nullptr) return nullptr;
  link->look = LinkText::kLookOnDialog;
  link->active = active ? 1 : 0;
  link->leftAligned = leftAligned ? 1 : 0;
  link->text = text != nullptr ? platform::FromUtf8(text) : std::u16string();
  link->normalFont = nullptr;
  link->linkFont = nullptr;
  link->hasCustomColor = 0;
  link->Repaint();
  return link;
}
