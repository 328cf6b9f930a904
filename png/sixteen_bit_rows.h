#pragma once
// The rows of a 16-bit Grayscale or RGB file, made from the document's 16-bit samples by the rules the reduction
// makes 8-bit rows by: gray by the same weights, transparency the file does not keep laid over the fill colour,
// the alpha channel kept where the options keep it. Each sample is two bytes, high byte first, as PNG stores it.
#include <cstddef>
#include <cstdint>

#include "records/whole_image.h"

class SixteenBitRows {
 public:
  // pngType 0 Grayscale or 2 RGB; fillColor 0x00BBGGRR.
  SixteenBitRows(const WholeImage16Record& image, int32_t pngType, bool alphaChannel, int32_t fillColor);

  // Samples per pixel in the file: 1 or 3, and 1 more with the alpha channel.
  int32_t Channels() const { return channels_; }
  size_t RowBytes() const { return static_cast<size_t>(image_.width) * static_cast<size_t>(channels_) * 2; }
  // Writes row y, RowBytes() bytes.
  void Row(int32_t y, uint8_t* out) const;

 private:
  const WholeImage16Record& image_;
  const bool rgbFile_;
  const bool alphaMode_;
  const int32_t channels_;
  int32_t fill_[3] = {};  // red, green, blue at 16 bits
  int32_t fillGray_ = 0;
};
