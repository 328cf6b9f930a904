#pragma once
// How far a written image is from its source, as a peak signal-to-noise ratio: the plug-in's own measure.
#include "reduce/psnr.h"
#include "tools/rgba_png.h"

namespace bench {

// PSNR in dB of written against source, which must have the same size, over every pixel, as PsnrMeter measures:
// over R, G and B when withAlpha is false; over premultiplied R, G, B and A when it is true. Identical pixels
// give kIdenticalPsnr.
double Psnr(const RgbaImage& source, const RgbaImage& written, bool withAlpha);

using ::kIdenticalPsnr;

}  // namespace bench
