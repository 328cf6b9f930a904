#include "widgets/preview_container_win32.h"

#include <algorithm>
#include <cstddef>
#include <memory>

#include "base/debug_log.h"
#include "widgets/dpi_scale.h"
#include "widgets/window_dpi_win32.h"

const wchar_t kPreviewContainerClass[] = L"Preview Contaner CPP";

namespace {

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

void PreviewContainer::Resample() {
  if (previewZoom <= 0.0f || !imageSource) return;
  const PreviewSource source = imageSource();
  viewPixels.Reset();
  viewWidth = std::min(clientWidth, source.width);
  viewHeight = std::min(clientHeight, source.height);
  if (viewWidth > 0 && viewHeight > 0) {
    viewPixels = PageBlock(static_cast<size_t>(viewWidth) * static_cast<size_t>(viewHeight) * 4);
  }
  originX = ClampOrigin(originX, source.width, previewZoom, clientWidth);
  originY = ClampOrigin(originY, source.height, previewZoom, clientHeight);
  SampleView(source, previewZoom, originX, originY, viewWidth, viewHeight, viewPixels.data());
}

void PreviewContainer::Compose() {
  bitmapWidth = BitmapWidthFor(clientWidth, viewWidth);
  bitmapHeight = std::min(clientHeight, viewHeight);
  if (!viewPixels) return;
  offsetX = CenterOffset(clientWidth, viewWidth);
  offsetY = CenterOffset(clientHeight, viewHeight);
  bitmap.Reset();
  bitmapPixels.Reset();
  // Fresh pages arrive zero-filled: the padding columns stay black.
  bitmapPixels = PageBlock(static_cast<size_t>(bitmapWidth) * static_cast<size_t>(bitmapHeight) * 3);
  // Without pixels the control stays without a bitmap (and shows the diagonals) until the next Compose.
  if (!bitmapPixels) return;
  bitmapHeader = BitmapHeader{};
  bitmapHeader.header.biSize = sizeof(BITMAPINFOHEADER);
  bitmapHeader.header.biWidth = bitmapWidth;
  bitmapHeader.header.biHeight = bitmapHeight;
  bitmapHeader.header.biPlanes = 1;
  bitmapHeader.header.biBitCount = 24;
  bitmapHeader.header.biCompression = BI_RGB;
  offsetX = std::max(offsetX, 0);
  offsetY = std::max(offsetY, 0);
  // The checkerboard's squares are a size on the screen; the image itself stays 1:1 in device pixels.
  ComposeBitmapPixels(viewPixels.data(), viewWidth, bitmapWidth, bitmapHeight, bitmapPixels.data(),
                      ScaledForDpi(7, DpiOfWindow(window)));
  gdi::WindowDc windowDc(window);
  bitmap.Reset(CreateDIBitmap(windowDc.get(), &bitmapHeader.header, CBM_INIT, bitmapPixels.data(),
                              reinterpret_cast<const BITMAPINFO*>(&bitmapHeader), DIB_RGB_COLORS));
}

void PreviewContainer::Paint(HDC dc) const {
  const RECT client{0, 0, clientWidth, clientHeight};
  // The class brush belongs to the class: borrowed here, never deleted.
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)));
  const bool atRest = dragDX == 0 && dragDY == 0;
  if (bitmap) {
    gdi::DcOwner source(CreateCompatibleDC(dc));
    gdi::SelectGuard onBitmap(source.get(), bitmap.get());
    // At rest the padding columns of the bitmap stay hidden; while dragging the whole area moves.
    const int width = atRest ? std::min(bitmapWidth, viewWidth) : clientWidth;
    const int height = atRest ? std::min(bitmapHeight, viewHeight) : clientHeight;
    BitBlt(dc, offsetX + dragDX, offsetY + dragDY, width, height, source.get(), 0, 0, SRCCOPY);
  } else {
    DrawDiagonals(dc, dragDX, dragDY, clientWidth, clientHeight);
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
  bitmap.Reset();
  bitmapPixels.Reset();
  viewPixels.Reset();
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
