#include "tests/win/toolkit_test_support.h"

namespace toolkit_test {
namespace {

constexpr wchar_t kParentClass[] = L"Vexlorin Test Parent";
std::vector<std::pair<WPARAM, LPARAM>> sentCommands;

// Posted commands stay in the queue (the tests peek them out and never dispatch), so whatever command
// reaches the procedure was sent.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    sentCommands.emplace_back(wParam, lParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

BITMAPINFO TopDownInfo(int width, int height, WORD bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bits;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

Rgb FromColorref(COLORREF color) { return Rgb{GetRValue(color), GetGValue(color), GetBValue(color)}; }

DibCanvas::DibCanvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
  dc_ = CreateCompatibleDC(nullptr);
  const BITMAPINFO info = TopDownInfo(width, height, 32);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<const std::uint8_t*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
  HBRUSH brush = CreateSolidBrush(fill);
  const RECT all{0, 0, width, height};
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

DibCanvas::~DibCanvas() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

Rgb DibCanvas::Pixel(int x, int y) const {
  GdiFlush();
  const std::uint8_t* pixel = bits_ + (static_cast<size_t>(y) * width_ + x) * 4;
  return Rgb{pixel[2], pixel[1], pixel[0]};
}

int DibCanvas::Count(const RECT& area, const std::function<bool(Rgb)>& match) const {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += match(Pixel(x, y)) ? 1 : 0;
  }
  return count;
}

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colour) {
  const BITMAPINFO info = TopDownInfo(width, height, 24);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const int stride = (width * 3 + 3) & ~3;
  auto* bytes = static_cast<std::uint8_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      std::uint8_t* pixel = bytes + y * stride + x * 3;
      pixel[0] = GetBValue(c);
      pixel[1] = GetGValue(c);
      pixel[2] = GetRValue(c);
    }
  }
  GdiFlush();
  return bitmap;
}

std::unique_ptr<DibCanvas> CanvasOf(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  auto canvas = std::make_unique<DibCanvas>(info.bmWidth > 0 ? info.bmWidth : 1, info.bmHeight > 0 ? info.bmHeight : 1);
  HDC source = CreateCompatibleDC(canvas->dc());
  HGDIOBJ previous = SelectObject(source, bitmap);
  BitBlt(canvas->dc(), 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  return canvas;
}

Rgb BitmapPixel(HBITMAP bitmap, int x, int y) { return CanvasOf(bitmap)->Pixel(x, y); }

HiddenParent::HiddenParent() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &ParentProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kParentClass;
  RegisterClassW(&windowClass);  // fails harmlessly when an earlier test registered it
  sentCommands.clear();
  window_ = CreateWindowExW(0, kParentClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

HiddenParent::~HiddenParent() {
  if (window_ != nullptr) DestroyWindow(window_);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

const std::vector<std::pair<WPARAM, LPARAM>>& HiddenParent::SentCommands() const { return sentCommands; }

std::vector<std::pair<WPARAM, LPARAM>> HiddenParent::TakePostedCommands() {
  std::vector<std::pair<WPARAM, LPARAM>> posted;
  MSG message;
  while (PeekMessageW(&message, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    posted.emplace_back(message.wParam, message.lParam);
  }
  return posted;
}

HWND HiddenParent::AddChild(const wchar_t* className, int id, int width, int height) {
  return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, window_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

bool RegisterParentClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW parentClass{};
  parentClass.cbSize = sizeof parentClass;
  parentClass.lpfnWndProc = procedure;
  parentClass.hInstance = GetModuleHandleW(nullptr);
  parentClass.lpszClassName = name;
  return RegisterClassExW(&parentClass) != 0;
}

void UnregisterParentClass(const wchar_t* name) { UnregisterClassW(name, GetModuleHandleW(nullptr)); }

HWND CreateParentWindow(const wchar_t* className, int width, int height) {
  return CreateWindowExW(0, className, L"", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace toolkit_test
