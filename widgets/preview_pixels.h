#pragma once
// The preview's pixel arithmetic, free of any window: how each reduced pixel looks (colour and alpha by PNG type),
// and how the visible part is laid over the checkerboard into the bottom-up BGR rows of a 24-bit device-independent
// bitmap.
#include <cstdint>

#include "records/palette.h"
#include "records/palette_alpha.h"

// How a reduced pixel turns into red, green, blue and alpha.
struct PreviewSource {
  const uint8_t* pixels = nullptr;  // the reduced rows, top row first; null while there are none
  int32_t width = 0;                // _WholeWidth
  int32_t height = 0;               // _WholeHeight
  int32_t rowBytes = 0;
  int32_t bytesPerPixel = 0;
  int8_t pngType = 2;                                 // 0 Grayscale, 1 Palette, 2 RGB
  const PaletteEntry* palette = nullptr;              // 256 entries; read for the Palette type only
  PaletteAlpha paletteAlpha = PaletteAlpha::kOpaque;  // how the file states the entries' transparency
};

struct PreviewColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 0;
};

// The look of the reduced pixel at `pixel` (bytesPerPixel bytes of source's rows).
PreviewColor PreviewColorOf(const PreviewSource& source, const uint8_t* pixel);
// Reads runs of a source's pixels into their looks, as PreviewColorOf gives each: for views that read every pixel
// of a large image. A palette's entries are looked at once, when the reader is made, not once a pixel.
class PreviewRowReader {
 public:
  explicit PreviewRowReader(const PreviewSource& source);
  // The looks of `count` pixels from `pixels` on, into colors.
  void Read(const uint8_t* pixels, int32_t count, PreviewColor* colors) const;

 private:
  PreviewSource source_;
  bool byEntry_ = false;  // one byte a pixel, an index into entries_
  PreviewColor entries_[256];
};

// min(clientWidth, width of the view) rounded up to a multiple of 4, so that 24-bit rows need no padding.
int32_t BitmapWidthFor(int32_t clientWidth, int32_t width);

// 204 on the squares of `square` x `square` pixels (7 at 96 dpi) whose row and column square numbers are both even
// or both odd, else 255.
uint8_t CheckerValue(int32_t row, int32_t column, int32_t square = 7);
// One channel of a pixel of the given alpha over a checkerboard value.
uint8_t BlendOverChecker(uint8_t color, uint8_t alpha, uint8_t checker);

// Writes the first bitmapHeight rows and min(width, bitmapWidth) columns of the view into bitmapPixels
// (bitmapWidth x bitmapHeight x 3 bytes, blue, green, red, bottom row first): opaque pixels as they are, the
// others over the checkerboard of `checkerSquare`-pixel squares. The remaining columns are not touched.
void ComposeBitmapPixels(const uint8_t* viewPixels, int32_t width, int32_t bitmapWidth, int32_t bitmapHeight,
                         uint8_t* bitmapPixels, int32_t checkerSquare = 7);
