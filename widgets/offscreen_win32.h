#pragma once
// One paint through an off-screen bitmap: draw everything into dc(), then Flush copies it in one piece.
// When the bitmap cannot be made, dc() is the target itself and drawing goes straight to the window.
#include <windows.h>

#include "widgets/gdi_owners_win32.h"

class OffscreenBuffer {
 public:
  OffscreenBuffer(HDC target, int width, int height);
  ~OffscreenBuffer() = default;
  OffscreenBuffer(const OffscreenBuffer&) = delete;
  OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

  HDC dc() const { return memoryDc_.get() != nullptr && bitmap_ ? memoryDc_.get() : target_; }
  void Flush();

 private:
  HDC target_;
  int width_;
  int height_;
  gdi::DcOwner memoryDc_;
  gdi::BitmapOwner bitmap_;
  gdi::SelectGuard onBitmap_;  // declared after the bitmap: deselects before the bitmap is deleted
};
