#pragma once
// The colours pixels are matched against, parallel to Palette, and the histogram entries they are made from.
#include <cstdint>

// One histogram (or colour-map) entry: colour, the spare byte copied from the sample, and a count.
struct AColorHistEntry {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t alpha;
  uint8_t spare;
  int32_t value;
};

// Owned by the reduction while the palette is current (heap array of at least count + 1 entries), null while
// there is none.
extern AColorHistEntry* ColorMap;
void ReleaseColorMap();
