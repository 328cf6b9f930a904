#include "widgets/preview_container_win32.h"

#include <algorithm>
#include <cstddef>
#include <memory>

#include "base/debug_log.h"
#include "widgets/dpi_scale.h"
#include "widgets/window_dpi_win32.h"

const wchar_t kPreviewContainerClass[] = L"Preview Contaner CPP";

namespace {

// Under a 2-Up pane: the caption's text with this much room above and below it, and between the panes.
constexpr int32_t kCaptionMargin = 8;
constexpr int32_t kPaneGap = 8;

std::unique_ptr<ToolkitControl> MakeDefaultPreview() { return std::make_unique<PreviewContainer>(); }

// Mouse positions arrive as two signed 16-bit client coordinates.
POINT PointFromLParam(LPARAM lParam) {
  return POINT{static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
}

void DrawDiagonals(HDC dc, int left, int top, int width, int height) {
  MoveToEx(dc, left, top, nullptr);
  LineTo(dc, left + width, top + height);
  MoveToEx(dc, left + width, top, nullptr);
  LineTo(dc, left, top + height);
}

}  // namespace

LRESULT PreviewContainer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: return OnLeftButtonDown(PointFromLParam(lParam));
    case WM_MOUSEMOVE: return OnMouseMove(wParam, PointFromLParam(lParam));
    case WM_LBUTTONUP: return OnLeftButtonUp();
    case WM_RBUTTONDOWN: return OnRightButtonDown();
    case WM_RBUTTONUP: return OnRightButtonUp();
    case WM_NCDESTROY: return OnFinalDestroy();
  }
  return PaintedControl::OnMessage(message, wParam, lParam);
}

PreviewSource PreviewContainer::SourceOfPane(int pane) const {
  if (view == kTwoUp && pane == 0) return originalSource ? originalSource() : PreviewSource{};
  return imageSource();
}

// The dialog's font, as the parent uses it; the system's for a parent without one.
HFONT PreviewContainer::CaptionFont() const {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
  return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int32_t PreviewContainer::CaptionHeight() const {
  gdi::WindowDc windowDc(window);
  TEXTMETRICW metrics{};
  {
    gdi::SelectGuard withFont(windowDc.get(), CaptionFont());
    GetTextMetricsW(windowDc.get(), &metrics);
  }
  return metrics.tmHeight + ScaledForDpi(kCaptionMargin, DpiOfWindow(window));
}

void PreviewContainer::Place(const PreviewSource& result) {
  const int32_t dpi = DpiOfWindow(window);
  layout = LayoutPanes(view, clientWidth, clientHeight, result.width, result.height,
                       view == kTwoUp ? CaptionHeight() : 0, ScaledForDpi(kPaneGap, dpi));
  const PaneRect& first = layout.panes[0];
  scale = ScaleOf(zoom, result.width, result.height, first.width, first.height);
  const PaneAxis across = PlaceAxis(originX, result.width, scale, first.width);
  const PaneAxis down = PlaceAxis(originY, result.height, scale, first.height);
  originX = across.origin;
  originY = down.origin;
  viewWidth = across.shown;
  viewHeight = down.shown;
  for (int k = 0; k < layout.count; ++k) {
    panes[k].offsetX = layout.panes[k].x + across.offset;
    panes[k].offsetY = layout.panes[k].y + down.offset;
  }
  for (int k = layout.count; k < 2; ++k) panes[k] = Pane{};
}

void PreviewContainer::Resample() {
  if (!imageSource) return;
  const PreviewSource result = imageSource();
  Place(result);
  for (int k = 0; k < layout.count; ++k) {
    const bool isResult = k + 1 == layout.count;
    const PreviewSource source = isResult ? result : SourceOfPane(k);
    Pane& pane = panes[k];
    const Pane::Sampling sampling{source.pixels, scale, originX, originY, viewWidth, viewHeight};
    if (!isResult && pane.viewPixels && pane.sampled == sampling) continue;
    pane.viewPixels.Reset();
    if (viewWidth > 0 && viewHeight > 0) {
      pane.viewPixels = PageBlock(static_cast<size_t>(viewWidth) * static_cast<size_t>(viewHeight) * 4);
    }
    ScaleView(source, scale, originX, originY, viewWidth, viewHeight, pane.viewPixels.data());
    pane.sampled = sampling;
  }
}

void PreviewContainer::Compose() {
  bitmapWidth = BitmapWidthFor(layout.panes[0].width, viewWidth);
  bitmapHeight = std::min(layout.panes[0].height, viewHeight);
  bitmapHeader = BitmapHeader{};
  bitmapHeader.header.biSize = sizeof(BITMAPINFOHEADER);
  bitmapHeader.header.biWidth = bitmapWidth;
  bitmapHeader.header.biHeight = bitmapHeight;
  bitmapHeader.header.biPlanes = 1;
  bitmapHeader.header.biBitCount = 24;
  bitmapHeader.header.biCompression = BI_RGB;
  const int32_t checker = ScaledForDpi(7, DpiOfWindow(window));
  for (int k = 0; k < layout.count; ++k) {
    Pane& pane = panes[k];
    if (!pane.viewPixels) continue;
    pane.bitmap.Reset();
    pane.bitmapPixels.Reset();
    // Fresh pages arrive zero-filled: the padding columns stay black.
    pane.bitmapPixels = PageBlock(static_cast<size_t>(bitmapWidth) * static_cast<size_t>(bitmapHeight) * 3);
    // Without pixels the pane stays without a bitmap (and shows the diagonals) until the next Compose.
    if (!pane.bitmapPixels) continue;
    // The checkerboard's squares are a size on the screen, whatever the zoom.
    ComposeBitmapPixels(pane.viewPixels.data(), viewWidth, bitmapWidth, bitmapHeight, pane.bitmapPixels.data(),
                        checker);
    gdi::WindowDc windowDc(window);
    pane.bitmap.Reset(CreateDIBitmap(windowDc.get(), &bitmapHeader.header, CBM_INIT, pane.bitmapPixels.data(),
                                     reinterpret_cast<const BITMAPINFO*>(&bitmapHeader), DIB_RGB_COLORS));
  }
}

void PreviewContainer::Redraw() {
  Resample();
  Compose();
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void PreviewContainer::ZoomAbout(int32_t newZoom, POINT at) {
  const PreviewSource result = imageSource ? imageSource() : PreviewSource{};
  // The pane under the point; its coordinates are the same in either pane.
  const int k = layout.count == 2 && (at.x >= layout.panes[1].x && at.y >= layout.panes[1].y) ? 1 : 0;
  const PaneRect& pane = layout.panes[k];
  const double newScale = ScaleOf(newZoom, result.width, result.height, pane.width, pane.height);
  const PaneAxis across = PlaceAxis(originX, result.width, scale, pane.width);
  const PaneAxis down = PlaceAxis(originY, result.height, scale, pane.height);
  originX = OriginAbout(across, at.x - pane.x, scale, newScale, result.width, pane.width);
  originY = OriginAbout(down, at.y - pane.y, scale, newScale, result.height, pane.height);
  zoom = newZoom;
  Redraw();
}

void PreviewContainer::ZoomTo(int32_t newZoom) {
  const PaneRect& pane = layout.panes[0];
  ZoomAbout(newZoom, POINT{pane.x + pane.width / 2, pane.y + pane.height / 2});
}

void PreviewContainer::ShowView(PreviewView newView) {
  const PaneRect before = layout.panes[0];
  const POINT middle{before.x + before.width / 2, before.y + before.height / 2};
  const PreviewSource result = imageSource ? imageSource() : PreviewSource{};
  const PaneAxis across = PlaceAxis(originX, result.width, scale, before.width);
  const PaneAxis down = PlaceAxis(originY, result.height, scale, before.height);
  const double oldScale = scale;
  view = newView;
  Place(result);  // the panes' new size
  const PaneRect& after = layout.panes[0];
  // Kept in the middle: the origin that keeps the point under the old middle, moved by as far as the middle moved.
  originX = OriginAbout(across, middle.x - before.x, oldScale, scale, result.width, after.width) -
            (after.width / 2 - (middle.x - before.x));
  originY = OriginAbout(down, middle.y - before.y, oldScale, scale, result.height, after.height) -
            (after.height / 2 - (middle.y - before.y));
  Redraw();
}

void PreviewContainer::Paint(HDC dc) const {
  const RECT client{0, 0, clientWidth, clientHeight};
  // The class brush belongs to the class: borrowed here, never deleted.
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)));
  const bool atRest = dragDX == 0 && dragDY == 0;
  for (int k = 0; k < layout.count; ++k) {
    const PaneRect& area = layout.panes[k];
    const Pane& pane = panes[k];
    // A picture dragged across stays inside its own pane.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.x, area.y, area.x + area.width, area.y + area.height);
    if (pane.bitmap) {
      gdi::DcOwner source(CreateCompatibleDC(dc));
      gdi::SelectGuard onBitmap(source.get(), pane.bitmap.get());
      // At rest the padding columns of the bitmap stay hidden; while dragging the whole area moves.
      const int width = atRest ? std::min(bitmapWidth, viewWidth) : area.width;
      const int height = atRest ? std::min(bitmapHeight, viewHeight) : area.height;
      BitBlt(dc, pane.offsetX + dragDX, pane.offsetY + dragDY, width, height, source.get(), 0, 0, SRCCOPY);
    } else {
      DrawDiagonals(dc, area.x + dragDX, area.y + dragDY, area.width, area.height);
    }
    RestoreDC(dc, saved);
    if (layout.count < 2) continue;
    RECT caption{layout.captions[k].x, layout.captions[k].y, layout.captions[k].x + layout.captions[k].width,
                 layout.captions[k].y + layout.captions[k].height};
    gdi::SelectGuard withFont(dc, CaptionFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, captions[k].c_str(), static_cast<int>(captions[k].size()), &caption,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
}

LRESULT PreviewContainer::OnLeftButtonDown(POINT at) {
  dragging = 1;
  SetCapture(window);
  lastX = at.x;
  lastY = at.y;
  dragDX = 0;
  dragDY = 0;
  return 0;
}

LRESULT PreviewContainer::OnMouseMove(WPARAM keys, POINT at) {
  if ((keys & MK_LBUTTON) == 0 || dragging == 0) return 0;
  // The picture follows the mouse by moving the bitmap; only the release re-samples.
  dragDX += at.x - lastX;
  dragDY += at.y - lastY;
  lastX = at.x;
  lastY = at.y;
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  return 0;
}

LRESULT PreviewContainer::OnLeftButtonUp() {
  dragging = 0;
  ReleaseCapture();
  originX -= dragDX;
  originY -= dragDY;
  dragDX = 0;
  dragDY = 0;
  // The parent re-samples (which clamps the origin) and repaints.
  SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(controlId, 0), 0);
  return 0;
}

LRESULT PreviewContainer::OnRightButtonDown() {
  dragging = 1;
  SetCapture(window);
  return 0;
}

LRESULT PreviewContainer::OnRightButtonUp() {
  dragging = 0;
  ReleaseCapture();
  return 0;
}

LRESULT PreviewContainer::OnFinalDestroy() {
  DebugLog("PreviewWndProc WM_NCDESTROY");
  for (Pane& pane : panes) pane = Pane{};
  return PaintedControl::OnMessage(WM_NCDESTROY, 0, 0);
}

LRESULT CALLBACK PreviewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ToolkitWindowProc(window, message, wParam, lParam, &MakeDefaultPreview);
}

bool RegisterPreviewContainerClass(HBRUSH background) {
  // The four-way arrow tells the user the picture can be dragged. (IDC_SIZEALL is an integer resource.)
  const auto sizeAll = reinterpret_cast<LPCWSTR>(IDC_SIZEALL);
  return RegisterToolkitClass(kPreviewContainerClass, 0, sizeAll, &PreviewWndProc, background);
}

void UnregisterPreviewContainerClass() { UnregisterToolkitClass(kPreviewContainerClass); }

PreviewContainer* GetPreviewContainer(HWND dialog, int itemId) {
  return GetControl<PreviewContainer>(dialog, itemId, kPreviewContainerClass);
}
