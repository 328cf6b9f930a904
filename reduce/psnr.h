#pragma once
// How far a picture is from the image it was made of, as a peak signal-to-noise ratio: the measure the palette
// quality aims at, the dialog shows and the benchmark reports.
#include <cstdint>

// Stands for the infinite PSNR of identical pictures, so that differences of two figures stay numbers.
constexpr double kIdenticalPsnr = 100.0;

// Sums the squared errors of pixel pairs (red, green, blue, alpha): over R, G and B without alpha; with alpha over
// R, G, B and A, the colours premultiplied by their alpha (so the colour of a fully transparent pixel counts for
// nothing).
class PsnrMeter {
 public:
  explicit PsnrMeter(bool withAlpha) : withAlpha_(withAlpha) {}

  void Add(const uint8_t source[4], const uint8_t written[4]);
  // Adds another meter's sums (of the same kind), as bands of rows measured apart come together.
  void Merge(const PsnrMeter& other);
  // The mean squared error per sample so far; 0 before any pixel.
  double MeanSquare() const;
  // 10 log10(255² / mean square), or kIdenticalPsnr when nothing differs.
  double Db() const;

 private:
  bool withAlpha_;
  double total_ = 0;
  int64_t pixels_ = 0;
};

// The PSNR a mean squared error per sample gives (kIdenticalPsnr for 0).
double PsnrOfMeanSquare(double meanSquare);
// The mean squared error per sample a PSNR stands for: PsnrOfMeanSquare turned round.
double MeanSquareOfPsnr(double db);
