#include "reduce/alpha_weight.h"

bool AlphaWeighted(const WholeImageRecord& image, const SaveOptionsRecord& options) {
  // MinAlpha is 256 for an opaque image and 500 when it was never measured: both keep the straight measure.
  return options.refinePalette != 0 && options.alphaChannel != 0 && HasAlphaPlane(image._WholePlanesIn) &&
         image.MinAlpha < 255;
}

AColorHistEntry PremultipliedEntry(const AColorHistEntry& entry) {
  AColorHistEntry out = entry;
  out.red = static_cast<uint8_t>(Premultiply(entry.red, entry.alpha));
  out.green = static_cast<uint8_t>(Premultiply(entry.green, entry.alpha));
  out.blue = static_cast<uint8_t>(Premultiply(entry.blue, entry.alpha));
  return out;
}

AColorHistEntry StraightEntry(const AColorHistEntry& premultiplied) {
  AColorHistEntry out = premultiplied;
  out.red = static_cast<uint8_t>(Unpremultiply(premultiplied.red, premultiplied.alpha));
  out.green = static_cast<uint8_t>(Unpremultiply(premultiplied.green, premultiplied.alpha));
  out.blue = static_cast<uint8_t>(Unpremultiply(premultiplied.blue, premultiplied.alpha));
  return out;
}
