#include "widgets/color_swatch.h"

#include <memory>
#include <vector>

#include "base/debug_log.h"
#include "widgets/gdi_owners.h"
#include "widgets/gdi_shared.h"
#include "widgets/offscreen.h"
#include "widgets/system_color_dialog.h"

namespace {

POINT PointFrom(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

std::unique_ptr<ToolkitControl> MakeColorSwatch() { return std::make_unique<ColorSwatch>(); }

void DrawInnerPixels(HDC dc, const SwatchLook& look, SIZE size) {
  const std::vector<uint32_t> pixels = SwatchInnerPixels(look, size.cx, size.cy);
  if (pixels.empty()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx - 2;
  info.bmiHeader.biHeight = -(size.cy - 2);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 1, 1, size.cx - 2, size.cy - 2, 0, 0, 0, size.cy - 2, pixels.data(), &info, DIB_RGB_COLORS);
}

void DrawLockMark(HDC dc, SIZE size) {
  const RECT square{size.cx - 6, size.cy - 6, size.cx - 1, size.cy - 1};
  FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(dc, size.cx - 4, size.cy - 4, RGB(255, 0, 0));
}

}  // namespace

void PaintColorSwatch(HDC dc, SIZE size, const SwatchLook& look, HBRUSH background) {
  const RECT client{0, 0, size.cx, size.cy};
  if (background != nullptr) FillRect(dc, &client, background);
  {
    gdi::BrushOwner colorBrush(CreateSolidBrush(look.color & 0xFFFFFF));
    if (!look.enabled) {
      const RECT inset{4, 3, size.cx - 4, size.cy - 3};
      FillRect(dc, &inset, colorBrush.get());
    } else {
      gdi::PenOwner selectedPen(look.selectedFrame ? CreatePen(PS_SOLID, 1, SelectedFramePenColor(look.color))
                                                   : nullptr);
      const HGDIOBJ pen =
          selectedPen ? static_cast<HGDIOBJ>(selectedPen.get()) : GetStockObject(look.hovered ? WHITE_PEN : BLACK_PEN);
      gdi::SelectGuard onPen(dc, pen);
      gdi::SelectGuard onBrush(dc, colorBrush.get());
      Rectangle(dc, 0, 0, size.cx, size.cy);
    }
  }
  if (SwatchInnerIsPatterned(look)) DrawInnerPixels(dc, look, size);
  if (look.lockMark) DrawLockMark(dc, size);
  if (look.focused && look.enabled) DrawFocusCue(dc, size);
}

ColorSwatch::~ColorSwatch() {
  if (holder != nullptr && *holder == this) *holder = nullptr;
}

LRESULT ColorSwatch::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;  // the off-screen paint fills the background too
    case WM_SIZE: return OnSize(LOWORD(lParam), HIWORD(lParam));
    case WM_MOUSEMOVE: return OnMouseMove(PointFrom(lParam));
    case WM_LBUTTONUP: return OnRelease();
    case WM_RBUTTONUP: return OnRelease();
    case WM_LBUTTONDBLCLK: return OnDoubleClick();
    case WM_ENABLE: return OnEnable(wParam != 0);
    case WM_NCDESTROY: return OnFinalDestroy();
  }
  return ToolkitControl::OnMessage(message, wParam, lParam);
}

void ColorSwatch::SetColor(uint32_t value) {
  color = value;
  Repaint();
}

void ColorSwatch::SetSelectedFrame(uint8_t flag) {
  selectedFrame = flag;
  Repaint();
}

void ColorSwatch::SetLockMark(uint8_t flag) {
  lockMark = flag;
  Repaint();
}

void ColorSwatch::SetAlpha(float value) {
  alpha = value;
  Repaint();
}

void ColorSwatch::SetTransparentMark(uint8_t flag) {
  alpha = 255.0f;
  transparentMark = flag;
  Repaint();
}

void ColorSwatch::SetEnabled(uint8_t flag) {
  enabled = flag;
  EnableWindow(window, flag != 0 ? TRUE : FALSE);
  Repaint();
}

void ColorSwatch::Repaint() {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

SwatchLook ColorSwatch::Look() const {
  SwatchLook look;
  look.enabled = enabled != 0;
  look.hovered = hovered != 0;
  look.selectedFrame = selectedFrame != 0;
  look.lockMark = lockMark != 0;
  look.transparentMark = transparentMark != 0;
  look.alpha = alpha;
  look.color = color;
  look.focused = focused || focusCue != 0;
  return look;
}

void ColorSwatch::PaintThrough(HDC target) const {
  OffscreenBuffer buffer(target, clientWidth, clientHeight);
  // The class brush is owned by the class: borrowed here.
  const auto background = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
  PaintColorSwatch(buffer.dc(), SIZE{clientWidth, clientHeight}, Look(), background);
  buffer.Flush();
}

LRESULT ColorSwatch::OnPaint() {
  gdi::PaintScope paint(window);
  PaintThrough(paint.get());
  return 0;
}

LRESULT ColorSwatch::OnPrintClient(HDC dc) {
  PaintThrough(dc);
  return 0;
}

LRESULT ColorSwatch::OnSize(int width, int height) {
  clientWidth = width;
  clientHeight = height;
  return 0;
}

LRESULT ColorSwatch::OnMouseMove(POINT at) {
  if (InsideClient(at.x, at.y, clientWidth, clientHeight)) {
    if (hovered != 0) return 0;
    hovered = 1;
    SetCapture(window);  // so that leaving the swatch is seen
  } else {
    ReleaseCapture();
    hovered = 0;
  }
  Repaint();
  return 0;
}

LRESULT ColorSwatch::OnRelease() {
  if (cellMode == kPaletteCellMode) {
    // A cell's single click selects its entry; the panel that handles it is the container's parent.
    SendMessageW(GetParent(GetParent(window)), WM_COMMAND, static_cast<WPARAM>(controlId), 1);
    return 0;
  }
  Pick();
  return 0;
}

LRESULT ColorSwatch::OnDoubleClick() {
  Pick();
  return 0;
}

LRESULT ColorSwatch::OnEnable(bool on) {
  enabled = on ? 1 : 0;
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
  return 0;
}

LRESULT ColorSwatch::OnFinalDestroy() {
  DebugLog("ContanerColorWndProc WM_NCDESTROY");
  return ToolkitControl::OnMessage(WM_NCDESTROY, 0, 0);
}

void ColorSwatch::SetFocusCue(uint8_t flag) {
  focusCue = flag;
  Repaint();
}

void ColorSwatch::OnKeyPress() { Pick(); }

void ColorSwatch::OnCaptureLost() {
  if (hovered == 0) return;
  hovered = 0;
  Repaint();
}

void ColorSwatch::Pick() {
  uint32_t picked = 0;
  ColorPick result = CalloutPickColor(color, &picked);
  if (result == ColorPick::kUnavailable) result = PickWithSystemColorDialog(window, color, customColors, &picked);
  if (result == ColorPick::kPicked) {
    color = picked & 0xFFFFFF;
    Repaint();
    SendMessageW(GetParent(window), WM_COMMAND, static_cast<WPARAM>(controlId), 0);
  }
  hovered = 0;
  Repaint();
}

LRESULT CALLBACK ContanerColorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ToolkitWindowProc(window, message, wParam, lParam, &MakeColorSwatch);
}

bool RegisterColorSwatchClass() {
  return shared::RegisterSharedLookClass(kColorSwatchClass, CS_DBLCLKS, IDC_ARROW, &ContanerColorWndProc);
}

void UnregisterColorSwatchClass() { UnregisterToolkitClass(kColorSwatchClass); }

ColorSwatch* GetColorSwatch(HWND dialog, int itemId) {
  return GetControl<ColorSwatch>(dialog, itemId, kColorSwatchClass);
}
