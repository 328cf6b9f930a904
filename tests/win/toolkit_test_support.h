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

namespace toolkit_test {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
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

}  // namespace toolkit_test
