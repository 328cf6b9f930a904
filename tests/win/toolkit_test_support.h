#pragma once
// What the toolkit's window tests share: a memory DC over a 32-bit top-down DIB section whose pixels are read
// straight from memory, bitmaps made of known colours, and a hidden parent window that records the commands
// sent to it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "widgets/gdi_owners_win32.h"

namespace toolkit_test {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb& other) const { return red == other.red && green == other.green && blue == other.blue; }
  bool operator!=(const Rgb& other) const { return !(*this == other); }
};

Rgb FromColorref(COLORREF color);

// A canvas to paint on; filled with `fill` so that untouched pixels are recognisable.
class DibCanvas {
 public:
  DibCanvas(int width, int height, COLORREF fill = RGB(255, 0, 255));
  ~DibCanvas();
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Flushes GDI first, then reads bytes B, G, R of the pixel.
  Rgb Pixel(int x, int y) const;
  // Number of pixels in the rectangle for which `match` holds.
  int Count(const RECT& area, const std::function<bool(Rgb)>& match) const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  const std::uint8_t* bits_ = nullptr;
};

// A 24-bit DIB section whose pixel (x, y) has colour(x, y); the caller deletes it.
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colour);

// A copy of any bitmap on a canvas, to read many of its pixels.
std::unique_ptr<DibCanvas> CanvasOf(HBITMAP bitmap);
// One pixel of any bitmap.
Rgb BitmapPixel(HBITMAP bitmap, int x, int y);

// A hidden top-level window to put controls on. It remembers every WM_COMMAND sent to it.
class HiddenParent {
 public:
  HiddenParent();
  ~HiddenParent();
  HiddenParent(const HiddenParent&) = delete;
  HiddenParent& operator=(const HiddenParent&) = delete;

  HWND window() const { return window_; }
  // Commands sent (not posted) so far, as (wParam, lParam).
  const std::vector<std::pair<WPARAM, LPARAM>>& SentCommands() const;
  // Removes and returns the commands waiting in the parent's message queue.
  std::vector<std::pair<WPARAM, LPARAM>> TakePostedCommands();
  // A child window of `className` with the given ID and client size, created as a dialog template would.
  HWND AddChild(const wchar_t* className, int id, int width, int height);

 private:
  HWND window_ = nullptr;
};

// The colour a PrintCanvas holds where the control painted nothing, as 0x00RRGGBB.
constexpr std::uint32_t kUnpainted = 0x111111;

// A memory DC holding a 32-bit top-down DIB section that a control paints into through WM_PRINTCLIENT.
// Built from the product's GDI owners so leak tests see it in gdi::LiveObjects; defined here, inline, so
// tests that never use it need not link them.
class PrintCanvas {
 public:
  PrintCanvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    onBitmap_ = std::make_unique<gdi::SelectGuard>(dc_.get(), bitmap_.get());
    Clear();
  }
  HDC dc() const { return dc_.get(); }
  bool Ready() const { return bits_ != nullptr; }
  // The pixel as 0x00RRGGBB.
  std::uint32_t At(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }
  void PaintFrom(HWND control) {
    Clear();
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()), PRF_CLIENT);
  }

 private:
  void Clear() {
    if (bits_ == nullptr) return;
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = kUnpainted;
  }

  int width_;
  int height_;
  gdi::DcOwner dc_;
  gdi::BitmapOwner bitmap_;
  std::unique_ptr<gdi::SelectGuard> onBitmap_;  // made after the bitmap, destroyed before it
  std::uint32_t* bits_ = nullptr;
};

// A window class for a test's own hidden parent, whose procedure records what that test needs.
bool RegisterParentClass(const wchar_t* name, WNDPROC procedure);
void UnregisterParentClass(const wchar_t* name);
// A hidden top-level window of such a class: nothing paints on its own, the tests paint on purpose.
HWND CreateParentWindow(const wchar_t* className, int width, int height);
// Dispatches everything waiting in this thread's queue, posted commands included.
void PumpMessages();

}  // namespace toolkit_test
