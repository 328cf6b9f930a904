#include "tools/psnr.h"

#include <cmath>
#include <cstddef>

namespace bench {

namespace {

// The squared errors of one pixel, summed over the channels compared.
double PixelError(const uint8_t* s, const uint8_t* w, bool withAlpha) {
  double sum = 0;
  if (!withAlpha) {
    for (int c = 0; c < 3; ++c) {
      const double d = static_cast<double>(s[c]) - w[c];
      sum += d * d;
    }
    return sum;
  }
  const double sourceAlpha = s[3] / 255.0;
  const double writtenAlpha = w[3] / 255.0;
  for (int c = 0; c < 3; ++c) {
    const double d = s[c] * sourceAlpha - w[c] * writtenAlpha;
    sum += d * d;
  }
  const double d = static_cast<double>(s[3]) - w[3];
  return sum + d * d;
}

}  // namespace

double Psnr(const RgbaImage& source, const RgbaImage& written, bool withAlpha) {
  const size_t pixels = static_cast<size_t>(source.width) * source.height;
  double total = 0;
  for (size_t i = 0; i < pixels; ++i) total += PixelError(&source.pixels[i * 4], &written.pixels[i * 4], withAlpha);
  const double meanSquare = total / (static_cast<double>(pixels) * (withAlpha ? 4 : 3));
  if (meanSquare == 0) return kIdenticalPsnr;
  return 10.0 * std::log10(255.0 * 255.0 / meanSquare);
}

}  // namespace bench
