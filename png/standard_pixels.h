#pragma once
// The picture a Standard file holds, pixel by pixel, as a decoder gives it back: what the smallest file must
// show again. Read straight from the rows the Standard writer would write.
#include <cstdint>

#include "png/png_writer.h"

// One decoded pixel. A fully transparent pixel's colour is free: it is kept as 0, 0, 0, 0.
struct Rgba {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 0;

  uint32_t Packed() const {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16 |
           static_cast<uint32_t>(alpha) << 24;
  }
  bool Grey() const { return red == green && green == blue; }
};

// Every fully transparent pixel the same: its colour is free.
inline Rgba Canonical(Rgba color) { return color.alpha == 0 ? Rgba{} : color; }

class StandardPixels {
 public:
  explicit StandardPixels(const PngWriteJob& job);

  // Bytes per pixel in the job's rows: 1 gray or palette index, 2 gray and alpha, 3 RGB, 4 RGBA.
  int32_t BytesPerPixel() const { return bytesPerPixel_; }
  bool IsPalette() const { return palette_; }
  // Entries the Standard file's palette has (palette type only).
  int32_t PaletteCount() const { return paletteCount_; }
  const uint8_t* Row(int32_t y) const { return job_.pixels + static_cast<size_t>(y) * job_.rowBytes; }
  // The pixel at x of a row, as decoded; a fully transparent one as 0, 0, 0, 0.
  Rgba At(const uint8_t* row, int32_t x) const { return Canonical(Stored(row, x)); }
  // The same with a fully transparent pixel's colour as the file stores it.
  Rgba Stored(const uint8_t* row, int32_t x) const;
  // The decoded colour of palette entry `index` (palette type only).
  Rgba Entry(int32_t index) const { return entries_[index]; }

 private:
  const PngWriteJob& job_;
  int32_t bytesPerPixel_ = 1;
  bool palette_ = false;
  bool alpha_ = false;
  int32_t paletteCount_ = 0;
  Rgba entries_[256];
};
