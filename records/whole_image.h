#pragma once
// The image fetched from the host: 8-bit channels interleaved pixel by pixel, rows top to bottom.
#include <cstddef>
#include <cstdint>

// What _WholeMode holds; the numbers are the host's own for these modes (CMYK arrives converted, as RGB).
enum WholeMode : int32_t { kWholeGray = 1, kWholeIndexed = 2, kWholeRgb = 3 };

struct WholeImageRecord {
  uint8_t* pixels = nullptr;  // page-granular and zero-filled; null while absent
  size_t pixelBytes = 0;
  int32_t _WholeWidth = 0;
  int32_t _WholeHeight = 0;
  int32_t _WholePlanesIn = 0;  // channels per pixel
  int32_t rowStride = 0;       // _WholeWidth * _WholePlanesIn
  int32_t _WholeMode = 0;      // a WholeMode
  int32_t MinAlpha = 500;      // 500 not measured, 256 all opaque, else the lowest alpha
};
extern WholeImageRecord WholeImage;

// Every plane count but 1 and 3 carries transparency.
constexpr bool HasAlphaPlane(int32_t planes) { return planes != 1 && planes != 3; }
inline bool HasAlphaPlane() { return HasAlphaPlane(WholeImage._WholePlanesIn); }

void FreeWholeImagePixels();
