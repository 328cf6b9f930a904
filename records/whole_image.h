#pragma once
// The image fetched from the host: 8-bit channels interleaved pixel by pixel, rows top to bottom.
#include <cstddef>
#include <cstdint>

#include "records/save_options.h"

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
  int32_t documentDepth = 8;   // bits per channel the document has: 8, or 16 with WholeImage16 beside
};
extern WholeImageRecord WholeImage;

// A 16-bit document's own samples, in the PNG's range 0 to 65535 and laid out as WholeImage's pixels: what a
// 16-bit file is made of. WholeImage holds the same image at 8 bits, for everything else. Absent (null samples)
// for an 8-bit document.
struct WholeImage16Record {
  uint16_t* samples = nullptr;  // page-granular
  size_t sampleBytes = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t planes = 0;  // channels per pixel, as WholeImage's
  int32_t mode = 0;    // a WholeMode: gray or RGB
};
extern WholeImage16Record WholeImage16;

// Every plane count but 1 and 3 carries transparency.
constexpr bool HasAlphaPlane(int32_t planes) { return planes != 1 && planes != 3; }
inline bool HasAlphaPlane() { return HasAlphaPlane(WholeImage._WholePlanesIn); }

// Gives back the document's pixels at both depths.
void FreeWholeImagePixels();

// The image converted from the document's profile to sRGB, made beside WholeImage when Convert to sRGB is first on
// (ui/srgb_image.h) and never changed after: the document's own pixels stay, so that turning the option off gives
// them back exactly, and a refresh reading either is never written under. Absent (null pixels) otherwise.
extern WholeImageRecord SrgbImage;
// SrgbImage's 16-bit counterpart, converted from WholeImage16 when SrgbImage is made for a 16-bit document.
extern WholeImage16Record SrgbImage16;
// Gives back SrgbImage and SrgbImage16.
void FreeSrgbImagePixels();

// The image the options reduce: the sRGB one when it is asked for and there, else the document's.
inline const WholeImageRecord& ImageToReduce(bool convertToSrgb) {
  return convertToSrgb && SrgbImage.pixels != nullptr ? SrgbImage : WholeImage;
}

// Whether a file of this type can keep the document's 16 bits: a 16-bit document saved as Grayscale or RGB (a
// palette's entries are 8-bit whatever the document).
bool SixteenBitsApply(int8_t pngType);

// The 16-bit samples the file is made of for these options, or null for an 8-bit file: 16 Bits/Channel on where
// it applies, from the same image ImageToReduce gives.
const WholeImage16Record* Image16ToEncode(const SaveOptionsRecord& options);
