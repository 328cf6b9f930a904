#pragma once
// Colour differences weighted by alpha. A colour is compared by what it lays over any background: red, green and
// blue times alpha / 255, and alpha itself, so that differences under low alpha count little. Whole numbers,
// rounded so that an opaque colour is its own premultiplied form: where every alpha is 255 every distance, mean
// and error is the straight one.
#include <cstdint>

#include "records/color_map.h"
#include "records/save_options.h"
#include "records/whole_image.h"

// Whether a refined palette of this image is made and matched weighted by alpha: Refine Palette on, the image's
// alpha plane kept in the palette (Alpha Channel on) and some pixel less than opaque.
bool AlphaWeighted(const WholeImageRecord& image, const SaveOptionsRecord& options);

// value × alpha / 255, rounded so that alpha 255 leaves every value as it is.
inline int32_t Premultiply(int32_t value, int32_t alpha) { return (value * alpha + 127) / 255; }

// The least straight level whose Premultiply at this alpha is `premultiplied` (0 .. alpha): every such value has
// one, since a step of the straight level moves the premultiplied one by at most 1. 0 at alpha 0; above alpha, 255.
inline int32_t Unpremultiply(int32_t premultiplied, int32_t alpha) {
  if (alpha <= 0) return 0;
  const int32_t least = 255 * premultiplied - 127;  // Premultiply(v) >= p  <=>  v × alpha >= least
  if (least <= 0) return 0;
  const int32_t value = (least + alpha - 1) / alpha;
  return value > 255 ? 255 : value;
}

// The entry's colour premultiplied by its alpha; the other bytes kept.
AColorHistEntry PremultipliedEntry(const AColorHistEntry& entry);
// The inverse of PremultipliedEntry: the straight colour whose premultiplied form is the entry.
AColorHistEntry StraightEntry(const AColorHistEntry& premultiplied);
