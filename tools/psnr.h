#pragma once
// How far a written image is from its source, as a peak signal-to-noise ratio.
#include "tools/rgba_png.h"

namespace bench {

// PSNR in dB of written against source, which must have the same size, over every pixel: over R, G and B when
// withAlpha is false; over R, G, B and A, the colours premultiplied by their alpha, when it is true (so the
// colour of a fully transparent pixel counts for nothing). Identical pixels give kIdenticalPsnr.
double Psnr(const RgbaImage& source, const RgbaImage& written, bool withAlpha);

// Stands for the infinite PSNR of identical images, so that differences of two figures stay numbers.
constexpr double kIdenticalPsnr = 100.0;

}  // namespace bench
