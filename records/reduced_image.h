#pragma once
// The rows the reduction produces, in the PNG's own sample order.
#include <cstddef>
#include <cstdint>

struct ReducedImageRecord {
  uint8_t* pixels = nullptr;  // (height + 2) rows, page-granular and zero-filled; null while absent
  size_t pixelBytes = 0;
  int32_t bytesPerPixel = 0;
  int32_t rowBytes = 0;
  int32_t width = 0;  // the image the buffer was made for: a new image with the same pixel size needs a new one
  int32_t height = 0;
  // The last reduction stopped before its rows were written (no palette, no error row): the buffer holds an
  // earlier run's rows or zeros, which the preview may show but no PNG may be made of.
  bool stale = false;
};
extern ReducedImageRecord ReducedImage;

// Gives back the record's pixels; the sizes stay for the next reduction to compare against.
void FreeReducedImagePixels(ReducedImageRecord& reduced);
void FreeReducedImagePixels();

// Gives the record a zero-filled buffer of height + 2 rows for the pixel size, keeping the one it has when the
// pixel size and the image size are unchanged; false when the memory cannot be had.
bool PrepareReducedImage(ReducedImageRecord& reduced, int32_t width, int32_t height, int32_t bytesPerPixel);
