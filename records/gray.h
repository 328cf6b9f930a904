#pragma once
// Gray values and compositing over the fill colour. Every build must produce the same bytes, so the rounding
// is fixed here once: the alpha fractions and red's gray weight are single precision, every product and sum
// is double, and every result is truncated toward zero.
#include <cstdint>

#include "records/color.h"

constexpr float kRedGrayWeight = 0.2125f;
constexpr double kGreenGrayWeight = 0.7154;
constexpr double kBlueGrayWeight = 0.0721;

// Summed as (red + green) + blue.
inline int32_t GrayOf(int32_t red, int32_t green, int32_t blue) {
  return static_cast<int32_t>(
      (static_cast<double>(red) * static_cast<double>(kRedGrayWeight) + static_cast<double>(green) * kGreenGrayWeight) +
      static_cast<double>(blue) * kBlueGrayWeight);
}

// The fill's gray from its channels at either depth: its terms summed green, red, blue.
inline int32_t FillGrayOf(int32_t red, int32_t green, int32_t blue) {
  return static_cast<int32_t>(
      (kGreenGrayWeight * static_cast<double>(green) + static_cast<double>(kRedGrayWeight) * static_cast<double>(red)) +
      kBlueGrayWeight * static_cast<double>(blue));
}

// fillColor is 0x00BBGGRR.
inline int32_t FillGrayOf(int32_t fillColor) {
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(fillColor));
  return FillGrayOf(fill.red, fill.green, fill.blue);
}

// a = alpha / largest and b = 1 - a, each rounded to single precision; alpha runs to 255, or to 65535 in a
// 16-bit file.
struct AlphaFractions {
  float opaque;
  float clear;
};
inline AlphaFractions AlphaFractionsOf(int32_t alpha, float largest = 255.0f) {
  const float opaque = static_cast<float>(alpha) / largest;
  return {opaque, 1.0f - opaque};
}

// channel × a + fill × b.
inline int32_t CompositeOver(int32_t channel, int32_t fill, AlphaFractions fractions) {
  return static_cast<int32_t>(static_cast<double>(channel) * static_cast<double>(fractions.opaque) +
                              static_cast<double>(fill) * static_cast<double>(fractions.clear));
}

// b × FillGray + a × gray, in double throughout (an RGB pixel's gray, or a gray pixel becoming an index).
inline int32_t GrayOverFill(int32_t gray, int32_t fillGray, AlphaFractions fractions) {
  return static_cast<int32_t>(static_cast<double>(fractions.clear) * static_cast<double>(fillGray) +
                              static_cast<double>(fractions.opaque) * static_cast<double>(gray));
}

// single(b × FillGray) + a × gray: a gray image kept as gray or spread to RGB rounds the fill term first.
inline int32_t GrayOverSingleFill(int32_t gray, int32_t fillGray, AlphaFractions fractions) {
  const float fillTerm = static_cast<float>(static_cast<double>(fractions.clear) * static_cast<double>(fillGray));
  return static_cast<int32_t>(static_cast<double>(fillTerm) +
                              static_cast<double>(fractions.opaque) * static_cast<double>(gray));
}
