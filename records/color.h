#pragma once
// Colours as the options and the swatches keep them: one 32-bit value 0x00BBGGRR, red in the low byte.
#include <cstdint>

struct RgbColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

constexpr RgbColor UnpackColor(uint32_t color) {
  return RgbColor{static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
                  static_cast<uint8_t>((color >> 16) & 0xFF)};
}

constexpr uint32_t PackColor(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}
