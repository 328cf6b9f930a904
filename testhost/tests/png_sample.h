#pragma once
// Writes PNG files of any colour type and bit depth with libpng's own writer, so the reader's inputs are
// exact and independent of the reader.
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

struct PngSample {
  uint32_t width = 0;
  uint32_t height = 0;
  int colorType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::vector<uint8_t>> rows;  // packed as in the file: 16-bit samples big-endian
  std::vector<png_color> palette;
  std::vector<uint8_t> paletteAlpha;  // tRNS of a palette image; empty for none
  bool colorKey = false;              // tRNS of a gray or RGB image
  png_color_16 key{};
};

// False when libpng refused the sample.
bool WritePngSample(const std::string& path, const PngSample& sample);
