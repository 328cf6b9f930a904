#pragma once
// The median cut's view of the image: a nearest-pixel sample of at most 500 x 500 pixels, each a 5-byte record
// (red, green, blue, alpha, spare) in page memory, optionally composited over the fill colour.
#include <cstddef>
#include <cstdint>

#include "base/page_block.h"
#include "records/color.h"
#include "records/whole_image.h"

constexpr int32_t kSampleSide = 500;
constexpr int32_t kSampleRecordBytes = 5;

struct ColorSample {
  PageBlock records;  // empty when the memory could not be had
  int32_t width = 0;
  int32_t height = 0;
  size_t PixelCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
};

// Samples the image's first three (or four) channels. With `composite`, each pixel is laid over the fill colour
// (0x00BBGGRR) by its alpha (channel 3) and becomes opaque; otherwise alpha is channel 3, or 255 with three
// channels. The image must have at least three channels and one pixel.
ColorSample TakeColorSample(const WholeImageRecord& image, int32_t fillColor, bool composite);

// One pixel as the palette builders see it: red, green, blue and alpha (channel 3, or 255 with three channels),
// or with `composite` laid over the fill colour by its alpha and made opaque.
void SamplePixel(const uint8_t* in, int32_t planes, bool composite, const RgbColor& fill, uint8_t out[4]);

// Maps every channel of the sample from levels 0..maxval to 0..newMaxval, as the count needs fewer colours.
void CoarsenSample(uint8_t* records, size_t pixelCount, int32_t maxval, int32_t newMaxval);
