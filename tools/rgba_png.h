#pragma once
// A PNG file decoded by libpng to 8-bit RGBA, whatever its colour type: what a viewer shows of it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  bool hasAlpha = false;        // the file keeps transparency (an alpha channel or tRNS)
  std::vector<uint8_t> pixels;  // R, G, B, A per pixel, rows top down; A is 255 where the file has none
};

// The decoded file, or nothing (with a message) when libpng cannot read it.
std::optional<RgbaImage> DecodeRgba(const std::string& path);

}  // namespace bench
