#pragma once
// A slow, literal model of the reduction's per-pixel rules: one pixel at a time, every formula written out,
// no tables and no caches. Tests compare the filter's output with it byte for byte.
#include <cstdint>
#include <vector>

#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/color_hash.h"

struct ReferenceResult {
  int32_t bytesPerPixel = 0;
  std::vector<uint8_t> pixels;  // width × height × bytesPerPixel
};

// previous holds what the buffer held before (pixels no rule writes keep it); it is resized as needed.
// colorMap and count are what the Palette type of an RGB image matches against.
ReferenceResult ReferenceReduce(const WholeImageRecord& image, const SaveOptionsRecord& options,
                                const PaletteRecord& palette, const AColorHistEntry* colorMap, int32_t count,
                                std::vector<uint8_t> previous);
