#include "widgets/color_swatch_win32.h"

#include <memory>
#include <vector>

#include "base/debug_log.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/swatch_metrics.h"
#include "widgets/system_color_dialog_win32.h"
#include "widgets/window_dpi_win32.h"

namespace {

POINT PointFrom(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

std::unique_ptr<ToolkitControl> MakeColorSwatch() { return std::make_unique<ColorSwatch>(); }

RECT RectOf(const SwatchRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

void FillWith(HDC dc, const SwatchRect& rect, COLORREF color) {
  const RECT area = RectOf(rect);
  gdi::BrushOwner brush(CreateSolidBrush(color));
  FillRect(dc, &area, brush.get());
}

void DrawInnerPixels(HDC dc, const SwatchLook& look, const SwatchRect& inner, SIZE size) {
  const std::vector<uint32_t> pixels = SwatchInnerPixels(look, size.cx, size.cy);
  if (pixels.empty()) return;
  const int width = inner.right - inner.left;
  const int height = inner.bottom - inner.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, inner.left, inner.top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

void DrawLockMark(HDC dc, const SwatchMetrics& metrics, SIZE size) {
  const RECT square = RectOf(LockSquareRect(metrics, size.cx, size.cy));
  FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FillWith(dc, LockDotRect(metrics, size.cx, size.cy), RGB(255, 0, 0));
}

}  // namespace

void PaintColorSwatch(HDC dc, SIZE size, const SwatchLook& look, HBRUSH background) {
  const SwatchMetrics metrics = SwatchMetricsForDpi(look.dpi);
  const SwatchRect inner = SwatchInnerRect(metrics, size.cx, size.cy);
  const RECT client{0, 0, size.cx, size.cy};
  if (background != nullptr) FillRect(dc, &client, background);
  const COLORREF color = look.color & 0xFFFFFF;
  if (!look.enabled) {
    FillWith(dc, SwatchDisabledRect(metrics, size.cx, size.cy), color);
  } else {
    // The frame as a band of its colour under the colour, so that it keeps its width at every DPI.
    FillWith(dc, SwatchRect{0, 0, size.cx, size.cy}, SwatchFrameColor(look));
    FillWith(dc, inner, color);
  }
  if (SwatchInnerIsPatterned(look)) DrawInnerPixels(dc, look, inner, size);
  if (look.lockMark) DrawLockMark(dc, metrics, size);
  if (look.focused && look.enabled) DrawFocusCue(dc, size, metrics.frame);
}

ColorSwatch::~ColorSwatch() {
  if (holder != nullptr && *holder == this) *holder = nullptr;
}

LRESULT ColorSwatch::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: return OnMouseMove(PointFrom(lParam));
    case WM_LBUTTONUP: return OnRelease();
    case WM_RBUTTONUP: return OnRelease();
    case WM_LBUTTONDBLCLK: return OnDoubleClick();
    case WM_ENABLE: return OnEnable(wParam != 0);
    case WM_NCDESTROY: return OnFinalDestroy();
  }
  return PaintedControl::OnMessage(message, wParam, lParam);
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

// Painted with the window's next paint: a new palette changes the colour, lock and alpha of up to 256 cells, and
// painting each on the spot, once for each value, held the dialog's thread for a fifth of a second.
void ColorSwatch::Repaint() { InvalidateRect(window, nullptr, FALSE); }

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
  look.dpi = DpiOfWindow(window);
  return look;
}

void ColorSwatch::Paint(HDC dc) const {
  // The class brush is owned by the class: borrowed here.
  const auto background = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
  PaintColorSwatch(dc, SIZE{clientWidth, clientHeight}, Look(), background);
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
  return PaintedControl::OnMessage(WM_NCDESTROY, 0, 0);
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
