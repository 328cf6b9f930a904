#include "records/reduced_image.h"

#include "base/platform.h"

ReducedImageRecord ReducedImage;

void FreeReducedImagePixels(ReducedImageRecord& reduced) {
  platform::FreePages(reduced.pixels, reduced.pixelBytes);
  reduced.pixels = nullptr;
  reduced.pixelBytes = 0;
  reduced.bytesPerPixel = 0;
}

void FreeReducedImagePixels() { FreeReducedImagePixels(ReducedImage); }

bool PrepareReducedImage(ReducedImageRecord& reduced, int32_t width, int32_t height, int32_t bytesPerPixel) {
  const bool reusable = reduced.pixels != nullptr && reduced.bytesPerPixel == bytesPerPixel && reduced.width == width &&
                        reduced.height == height;
  if (!reusable) {
    FreeReducedImagePixels(reduced);
    const size_t rowBytes = static_cast<size_t>(width < 0 ? 0 : width) * static_cast<size_t>(bytesPerPixel);
    const size_t bytes = (static_cast<size_t>(height < 0 ? 0 : height) + 2) * rowBytes;
    reduced.pixels = static_cast<uint8_t*>(platform::AllocatePages(bytes));
    if (reduced.pixels == nullptr) {
      reduced.rowBytes = 0;
      return false;
    }
    reduced.pixelBytes = bytes;
    reduced.bytesPerPixel = bytesPerPixel;
    reduced.width = width;
    reduced.height = height;
  }
  reduced.rowBytes = width * bytesPerPixel;
  return true;
}
