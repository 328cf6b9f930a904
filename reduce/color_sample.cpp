#include "reduce/color_sample.h"

#include <algorithm>

#include "records/color.h"

namespace {

// Channel C over fill channel F with coverage fractions a and b, both single precision; the sum in double.
uint8_t Composite(uint8_t channel, float a, uint8_t fill, float b) {
  return static_cast<uint8_t>(static_cast<int32_t>(static_cast<double>(channel) * static_cast<double>(a) +
                                                   static_cast<double>(fill) * static_cast<double>(b)));
}

}  // namespace

void SamplePixel(const uint8_t* in, int32_t planes, bool composite, const RgbColor& fill, uint8_t out[4]) {
  if (composite) {
    const float a = static_cast<float>(static_cast<double>(in[3]) / 255.0);
    const float b = static_cast<float>(1.0 - static_cast<double>(a));
    out[0] = Composite(in[0], a, fill.red, b);
    out[1] = Composite(in[1], a, fill.green, b);
    out[2] = Composite(in[2], a, fill.blue, b);
    out[3] = 255;
  } else {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = planes > 3 ? in[3] : 255;
  }
}

ColorSample TakeColorSample(const WholeImageRecord& image, int32_t fillColor, bool composite) {
  ColorSample sample;
  const int32_t width = image._WholeWidth;
  const int32_t height = image._WholeHeight;
  const int32_t planes = image._WholePlanesIn;
  sample.width = std::min(width, kSampleSide);
  sample.height = std::min(height, kSampleSide);
  sample.records = PageBlock(sample.PixelCount() * kSampleRecordBytes);
  if (!sample.records) return sample;

  const float xStep = static_cast<float>(static_cast<double>(width) / static_cast<double>(sample.width));
  const float yStep = static_cast<float>(static_cast<double>(height) / static_cast<double>(sample.height));
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(fillColor));

  uint8_t* out = sample.records.data();
  for (int32_t y = 0; y < sample.height; ++y) {
    const int32_t row = std::min(static_cast<int32_t>(static_cast<double>(y) * static_cast<double>(yStep)), height - 1);
    for (int32_t x = 0; x < sample.width; ++x, out += kSampleRecordBytes) {
      const int32_t column =
          std::min(static_cast<int32_t>(static_cast<double>(x) * static_cast<double>(xStep)), width - 1);
      const uint8_t* in =
          image.pixels + (static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column)) *
                             static_cast<size_t>(planes);
      SamplePixel(in, planes, composite, fill, out);
    }
  }
  return sample;
}

void CoarsenSample(uint8_t* records, size_t pixelCount, int32_t maxval, int32_t newMaxval) {
  for (size_t i = 0; i < pixelCount; ++i) {
    uint8_t* pixel = records + i * kSampleRecordBytes;
    for (int channel = 0; channel < 4; ++channel) {
      pixel[channel] = static_cast<uint8_t>((pixel[channel] * newMaxval + newMaxval) / maxval);
    }
  }
}
