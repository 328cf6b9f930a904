#pragma once
// What the pixels of a Standard file are made of: whether any is transparent, whether all are grey and in how
// few bits their greys fit, and their distinct colours while there are at most 256. It decides which colour types
// and bit depths can hold the picture exactly.
#include <cstdint>
#include <functional>

#include "png/standard_pixels.h"

struct PixelCensus {
  static constexpr int32_t kMostColors = 256;

  bool opaque = true;        // every alpha is 255
  bool grey = true;          // every pixel that is not fully transparent has red = green = blue
  int32_t greyDepth = 1;     // the fewest bits (1, 2, 4 or 8) that hold every such grey exactly
  int32_t colorCount = 0;    // distinct colours, all fully transparent ones as one; kMostColors + 1: more
  Rgba colors[kMostColors];  // in the order they first appear
  uint32_t uses[kMostColors] = {};
  bool indexesInPalette = true;  // palette type: every pixel's index is an entry of the palette
};

// Counts the job's pixels. keepGoing is asked now and then; false when it answered false.
bool TakePixelCensus(const PngWriteJob& job, const std::function<bool()>& keepGoing, PixelCensus& census);

// The fewest bits of a grey sample that hold `grey` exactly (1: 0 and 255; 2: multiples of 85; 4: of 17).
int32_t GreyDepthOf(uint8_t grey);
