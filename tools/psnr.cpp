#include "tools/psnr.h"

#include <cstddef>

namespace bench {

double Psnr(const RgbaImage& source, const RgbaImage& written, bool withAlpha) {
  const size_t pixels = static_cast<size_t>(source.width) * source.height;
  PsnrMeter meter(withAlpha);
  for (size_t i = 0; i < pixels; ++i) meter.Add(&source.pixels[i * 4], &written.pixels[i * 4]);
  return meter.Db();
}

}  // namespace bench
