#include "records/reduced_image.h"

#include "base/platform.h"

ReducedImageRecord ReducedImage;

void FreeReducedImagePixels() {
  platform::FreePages(ReducedImage.pixels, ReducedImage.pixelBytes);
  ReducedImage.pixels = nullptr;
  ReducedImage.pixelBytes = 0;
  ReducedImage.bytesPerPixel = 0;
}
