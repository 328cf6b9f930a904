#pragma once
// The rows the reduction produces, in the PNG's own sample order.
#include <cstddef>
#include <cstdint>

struct ReducedImageRecord {
  uint8_t* pixels = nullptr;  // (height + 2) rows, page-granular and zero-filled; null while absent
  size_t pixelBytes = 0;
  int32_t bytesPerPixel = 0;
  int32_t rowBytes = 0;
};
extern ReducedImageRecord ReducedImage;

void FreeReducedImagePixels();
