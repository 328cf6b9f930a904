#include "reduce/psnr.h"

#include <cmath>

void PsnrMeter::Add(const uint8_t source[4], const uint8_t written[4]) {
  ++pixels_;
  if (!withAlpha_) {
    for (int c = 0; c < 3; ++c) {
      const double d = static_cast<double>(source[c]) - written[c];
      total_ += d * d;
    }
    return;
  }
  const double sourceAlpha = source[3] / 255.0;
  const double writtenAlpha = written[3] / 255.0;
  for (int c = 0; c < 3; ++c) {
    const double d = source[c] * sourceAlpha - written[c] * writtenAlpha;
    total_ += d * d;
  }
  const double d = static_cast<double>(source[3]) - written[3];
  total_ += d * d;
}

void PsnrMeter::Merge(const PsnrMeter& other) {
  total_ += other.total_;
  pixels_ += other.pixels_;
}

double PsnrMeter::MeanSquare() const {
  if (pixels_ == 0) return 0;
  return total_ / (static_cast<double>(pixels_) * (withAlpha_ ? 4 : 3));
}

double PsnrMeter::Db() const { return PsnrOfMeanSquare(MeanSquare()); }

double MeanSquareOfPsnr(double db) { return 255.0 * 255.0 * std::pow(10.0, -db / 10.0); }

double PsnrOfMeanSquare(double meanSquare) {
  if (meanSquare <= 0) return kIdenticalPsnr;
  return 10.0 * std::log10(255.0 * 255.0 / meanSquare);
}
