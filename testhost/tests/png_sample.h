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
  std::vector<uint8_t> iccProfile;  // iCCP (compressed, as the format has it); empty for none
  bool srgb = false;                // an sRGB chunk
  bool phys = false;                // a pHYs chunk of these values
  png_uint_32 physX = 0;
  png_uint_32 physY = 0;
  int physUnit = PNG_RESOLUTION_METER;
  std::string xmp;  // an iTXt "XML:com.adobe.xmp" of this text; empty for none
  bool xmpCompressed = false;
  bool xmpAfterImage = false;  // after the image data rather than before it
};

// A small RGB display profile libpng accepts: the header and one text tag; `mark` goes into the header's
// creator field, so that profiles can be told apart.
std::vector<uint8_t> SmallRgbProfile(uint32_t mark);

// False when libpng refused the sample.
bool WritePngSample(const std::string& path, const PngSample& sample);
