#pragma once
// How a smallest file lays its pixels out: colour type, bit depth, the palette in the file's order with its
// transparent entries first, and the background it can state. Each layout holds the Standard file's picture
// exactly (but for the colour of fully transparent pixels); CandidateLayouts lists the ones worth trying.
#include <cstdint>
#include <optional>
#include <vector>

#include "png/pixel_census.h"
#include "png/sixteen_bit_rows.h"
#include "png/standard_pixels.h"

enum class PngColorType : uint8_t { kGray = 0, kRgb = 2, kPalette = 3, kGrayAlpha = 4, kRgba = 6 };

struct PngLayout {
  PngColorType colorType = PngColorType::kRgb;
  int32_t bitDepth = 8;
  // Palette: the entries in the file's order, the non-opaque ones first; tRNS covers transparentCount of them.
  int32_t paletteCount = 0;
  Rgba palette[256];
  int32_t transparentCount = 0;
  // bKGD's data as the colour type spells it; none when the layout cannot state the fill colour.
  uint8_t background[6] = {};
  int32_t backgroundBytes = 0;

  int32_t Channels() const;
  int32_t BitsPerPixel() const { return Channels() * bitDepth; }
  // Bytes of one unfiltered row of `width` pixels.
  size_t RowBytes(int32_t width) const { return (static_cast<size_t>(width) * BitsPerPixel() + 7) / 8; }
  // The distance the row filters look back: the bytes of one pixel, at least 1.
  int32_t FilterStep() const { return BitsPerPixel() < 8 ? 1 : BitsPerPixel() / 8; }
  // Where a pixel's alpha byte is within it (gray with alpha, RGBA); -1 without an alpha channel.
  int32_t AlphaOffset() const;
};

// The layouts that hold the census's picture: the one colour type without a palette that fits best (gray in
// the fewest bits, gray with alpha, RGB or RGBA), and where the picture has at most 256 colours, a palette in the
// fewest bits in a few orders (by use, by brightness, as the colours first appear) and in whole bytes.
std::vector<PngLayout> CandidateLayouts(const PngWriteJob& job, const PixelCensus& census);

// Writes the job's rows in a layout, unfiltered. Made once per layout; Row may then run on several threads.
class LayoutRows {
 public:
  LayoutRows(const PngWriteJob& job, const PngLayout& layout);
  // Row y, layout.RowBytes(width) bytes; a fully transparent pixel's colour as the Standard file stores it (the
  // filter may choose another).
  void Row(int32_t y, uint8_t* out) const;

 private:
  int32_t FileIndex(Rgba color) const;

  const PngWriteJob& job_;
  const PngLayout& layout_;
  StandardPixels pixels_;
  std::optional<SixteenBitRows> rows16_;  // a 16-bit file's rows come from the job's 16-bit samples
  uint8_t indexOfStandard_[256] = {};     // palette type: the file's index of each Standard index
  // Direct types to a palette: the file's index of each colour, by a small open hash.
  static constexpr uint32_t kSlots = 1024;
  uint32_t keys_[kSlots] = {};
  int16_t indexes_[kSlots];
};
