#pragma once
// The image fetched from the host: 8-bit channels interleaved pixel by pixel, rows top to bottom.
#include <cstddef>
#include <cstdint>

struct WholeImageRecord {
  uint8_t* pixels = nullptr;  // page-granular and zero-filled; null while absent
  size_t pixelBytes = 0;
  int32_t _WholeWidth = 0;
  int32_t _WholeHeight = 0;
  int32_t _WholePlanesIn = 0;  // channels per pixel
  int32_t rowStride = 0;       // _WholeWidth * _WholePlanesIn
  int32_t _WholeMode = 0;      // 1 grayscale, 2 indexed, 3 RGB (CMYK arrives as 3)
  int32_t MinAlpha = 500;      // 500 not measured, 256 all opaque, else the lowest alpha
};
extern WholeImageRecord WholeImage;

// Every plane count but 1 and 3 carries transparency.
inline bool HasAlphaPlane() { return WholeImage._WholePlanesIn != 1 && WholeImage._WholePlanesIn != 3; }

void FreeWholeImagePixels();
