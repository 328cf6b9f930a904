#pragma once
// The benchmarks' generated test image, so every tool measures the same pixels.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace bench {

constexpr int32_t kWidth = 3000;
constexpr int32_t kHeight = 3000;
constexpr uint32_t kSeed = 12345;

// Smooth gradients in every channel plus a little noise; a soft transparent band across the middle. RGBA.
inline std::vector<uint8_t> MakeImage() {
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  std::mt19937 random(kSeed);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      uint8_t* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
      const int32_t noise = static_cast<int32_t>(random() % 9) - 4;
      auto level = [noise](int32_t value) { return static_cast<uint8_t>(std::min(255, std::max(0, value + noise))); };
      p[0] = level(x * 255 / kWidth);
      p[1] = level(y * 255 / kHeight);
      p[2] = level((x + y) * 255 / (kWidth + kHeight));
      const int32_t band = y - kHeight / 2;
      p[3] = band < -200 || band > 200 ? 255 : static_cast<uint8_t>(std::abs(band) * 255 / 200);
    }
  }
  return pixels;
}

}  // namespace bench
