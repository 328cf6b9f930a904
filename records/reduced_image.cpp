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
