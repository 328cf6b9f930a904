#include "widgets/control_button_win32.h"

#include <memory>

#include "widgets/bitmap_copy_win32.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/window_dpi_win32.h"

namespace {

POINT PointFrom(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

std::unique_ptr<ToolkitControl> MakeControlButton() { return std::make_unique<ControlButton>(); }

LRESULT CALLBACK ControlButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ToolkitWindowProc(window, message, wParam, lParam, &MakeControlButton);
}

HINSTANCE OwningModule(HWND window) {
  auto* module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  return module != nullptr ? module : shared::ResourceModule();
}

}  // namespace

void PaintControlButton(HDC dc, SIZE size, HBITMAP face, HBRUSH background, int focusWidth) {
  const RECT client{0, 0, size.cx, size.cy};
  if (background != nullptr) FillRect(dc, &client, background);
  const SIZE faceSize = BitmapSize(face);
  CopyBitmap(dc, 0, 0, faceSize.cx < size.cx ? faceSize.cx : size.cx, faceSize.cy < size.cy ? faceSize.cy : size.cy,
             face, 0, 0);
  if (focusWidth > 0) DrawFocusCue(dc, size, focusWidth);
}

LRESULT ControlButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: return OnPress();
    case WM_MOUSEMOVE: return OnMouseMove(wParam, PointFrom(lParam));
    case WM_LBUTTONUP: return OnRelease();
  }
  return PaintedControl::OnMessage(message, wParam, lParam);
}

void ControlButton::SetBitmaps(int normal, int hover, int pressed, int disabled) {
  const int ids[kSlots] = {normal, hover, pressed, disabled};
  for (int slot = 0; slot < kSlots; ++slot) {
    if (ids[slot] == 0) continue;
    bitmaps_[slot].Reset(static_cast<HBITMAP>(
        LoadImageW(OwningModule(window), MAKEINTRESOURCEW(ids[slot]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }
  Repaint();
}

HBITMAP ControlButton::Face() const {
  switch (state) {
    case kHover: return Bitmap(kHoverBitmap);
    case kPressed: return Bitmap(kPressedBitmap);
    default: return Bitmap(kNormalBitmap);
  }
}

void ControlButton::Repaint() {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void ControlButton::Paint(HDC dc) const {
  PaintControlButton(dc, SIZE{clientWidth, clientHeight}, Face(), shared::BackgroundBrush(),
                     focused ? ScaledForDpi(1, DpiOfWindow(window)) : 0);
}

LRESULT ControlButton::OnPress() {
  SetFocus(window);
  SetCapture(window);  // keeps the press alive while the pointer wanders off
  state = kPressed;
  Repaint();
  return 0;
}

LRESULT ControlButton::OnMouseMove(WPARAM keys, POINT at) {
  if ((keys & MK_LBUTTON) != 0) return 0;
  if (state == kNormal) {
    SetCapture(window);  // so that leaving the button is seen
    state = kHover;
    Repaint();
  }
  if (at.x < 0 || at.y < 0 || at.x >= clientWidth || at.y >= clientHeight) {
    ReleaseCapture();
    state = kNormal;
    Repaint();
  }
  return 0;
}

LRESULT ControlButton::OnRelease() {
  const bool pressed = state == kPressed;
  ReleaseCapture();
  if (!pressed) return 0;
  state = kNormal;
  Repaint();
  PostMessageW(GetParent(window), WM_COMMAND, static_cast<WPARAM>(controlId), 0);
  return 0;
}

void ControlButton::OnKeyPress() { PostMessageW(GetParent(window), WM_COMMAND, static_cast<WPARAM>(controlId), 0); }

void ControlButton::OnCaptureLost() {
  if (state == kNormal) return;
  state = kNormal;
  Repaint();
}

bool RegisterControlButtonClass() {
  return shared::RegisterSharedLookClass(kControlButtonClass, 0, IDC_ARROW, &ControlButtonProc);
}

void UnregisterControlButtonClass() { UnregisterToolkitClass(kControlButtonClass); }
