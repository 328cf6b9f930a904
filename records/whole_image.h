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

// The image converted from the document's profile to sRGB, made beside WholeImage when Convert to sRGB is first on
// (ui/srgb_image.h) and never changed after: the document's own pixels stay, so that turning the option off gives
// them back exactly, and a refresh reading either is never written under. Absent (null pixels) otherwise.
extern WholeImageRecord SrgbImage;
void FreeSrgbImagePixels();

// The image the options reduce: the sRGB one when it is asked for and there, else the document's.
inline const WholeImageRecord& ImageToReduce(bool convertToSrgb) {
  return convertToSrgb && SrgbImage.pixels != nullptr ? SrgbImage : WholeImage;
}
