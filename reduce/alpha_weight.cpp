#include "reduce/alpha_weight.h"

namespace {

// The entry with red, green and blue each mapped at the entry's alpha.
AColorHistEntry MapColorLevels(const AColorHistEntry& entry, int32_t (*level)(int32_t value, int32_t alpha)) {
  AColorHistEntry out = entry;
  out.red = static_cast<uint8_t>(level(entry.red, entry.alpha));
  out.green = static_cast<uint8_t>(level(entry.green, entry.alpha));
  out.blue = static_cast<uint8_t>(level(entry.blue, entry.alpha));
  return out;
}

}  // namespace

bool AlphaWeighted(const WholeImageRecord& image, const SaveOptionsRecord& options) {
  // MinAlpha is 256 for an opaque image and 500 when it was never measured: both keep the straight measure.
  return options.refinePalette != 0 && options.alphaChannel != 0 && HasAlphaPlane(image._WholePlanesIn) &&
         image.MinAlpha < 255;
}

AColorHistEntry PremultipliedEntry(const AColorHistEntry& entry) { return MapColorLevels(entry, Premultiply); }

AColorHistEntry StraightEntry(const AColorHistEntry& premultiplied) {
  return MapColorLevels(premultiplied, Unpremultiply);
}
