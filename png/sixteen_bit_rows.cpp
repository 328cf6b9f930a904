#include "png/sixteen_bit_rows.h"

#include <cstring>

#include "records/color.h"
#include "records/gray.h"

namespace {

constexpr float kLargest16 = 65535.0f;

// An 8-bit fill channel at 16 bits: 255 is 65535.
constexpr int32_t Widened(uint8_t channel) { return channel * 257; }

void Put(uint8_t*& out, int32_t sample) {
  out[0] = static_cast<uint8_t>(sample >> 8);
  out[1] = static_cast<uint8_t>(sample);
  out += 2;
}

}  // namespace

SixteenBitRows::SixteenBitRows(const WholeImage16Record& image, int32_t pngType, bool alphaChannel, int32_t fillColor)
    : image_(image),
      rgbFile_(pngType == kPngRgb),
      alphaMode_(HasAlphaPlane(image.planes) && alphaChannel),
      channels_((rgbFile_ ? 3 : 1) + (alphaMode_ ? 1 : 0)) {
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(fillColor));
  fill_[0] = Widened(fill.red);
  fill_[1] = Widened(fill.green);
  fill_[2] = Widened(fill.blue);
  fillGray_ = FillGrayOf(fill_[0], fill_[1], fill_[2]);
}

void SixteenBitRows::Row(int32_t y, uint8_t* out) const {
  const int32_t planes = image_.planes;
  const uint16_t* in = image_.samples + static_cast<size_t>(y) * image_.width * planes;
  // Only exactly one alpha plane besides the colours is laid over the fill, as in the 8-bit rows.
  const bool rgbImage = image_.mode == kWholeRgb;
  const bool over = !alphaMode_ && planes == (rgbImage ? 4 : 2);
  const int32_t alphaPlane = rgbImage ? 3 : 1;
  // An RGB image without its three colour planes is not one these rows can read.
  if (rgbImage && planes < 3) {
    std::memset(out, 0, RowBytes());
    return;
  }
  for (int32_t x = 0; x < image_.width; ++x, in += planes) {
    const AlphaFractions fractions = AlphaFractionsOf(over ? in[alphaPlane] : 0, kLargest16);
    if (rgbImage && rgbFile_) {
      for (int32_t c = 0; c < 3; ++c) Put(out, over ? CompositeOver(in[c], fill_[c], fractions) : in[c]);
    } else if (rgbImage) {
      const int32_t gray = GrayOf(in[0], in[1], in[2]);
      Put(out, over ? GrayOverFill(gray, fillGray_, fractions) : gray);
    } else {
      const int32_t gray = over ? GrayOverSingleFill(in[0], fillGray_, fractions) : in[0];
      for (int32_t c = 0; c < (rgbFile_ ? 3 : 1); ++c) Put(out, gray);
    }
    if (alphaMode_) Put(out, in[alphaPlane]);
  }
}
