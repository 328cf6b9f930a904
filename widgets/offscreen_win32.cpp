#include "widgets/offscreen_win32.h"

OffscreenBuffer::OffscreenBuffer(HDC target, int width, int height)
    : target_(target),
      width_(width),
      height_(height),
      memoryDc_(CreateCompatibleDC(target)),
      bitmap_(width > 0 && height > 0 ? CreateCompatibleBitmap(target, width, height) : nullptr),
      onBitmap_(memoryDc_.get(), memoryDc_.get() != nullptr ? bitmap_.get() : nullptr) {}

void OffscreenBuffer::Flush() {
  if (dc() != target_) BitBlt(target_, 0, 0, width_, height_, memoryDc_.get(), 0, 0, SRCCOPY);
}
