// The quality benchmark's measure of a written image against its source.
#include "tools/psnr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

bench::RgbaImage Image(int32_t width, std::vector<uint8_t> pixels) {
  bench::RgbaImage image;
  image.width = width;
  image.height = 1;
  image.pixels = std::move(pixels);
  return image;
}

TEST(Psnr, WithoutAlphaAveragesTheSquaredErrorOverRedGreenAndBlueAndIgnoresAlpha) {
  const bench::RgbaImage source = Image(2, {0, 0, 0, 255, 10, 20, 30, 255});
  // One of the six colour samples off by 255: 10 log10(6).
  EXPECT_NEAR(bench::Psnr(source, Image(2, {255, 0, 0, 0, 10, 20, 30, 7}), false), 7.78151, 1e-4);
  EXPECT_EQ(bench::Psnr(source, Image(2, {0, 0, 0, 0, 10, 20, 30, 255}), false), bench::kIdenticalPsnr);
}

TEST(Psnr, WithAlphaComparesPremultipliedColoursAndAlpha) {
  // The colour under alpha 0 counts for nothing.
  EXPECT_EQ(bench::Psnr(Image(1, {200, 100, 50, 0}), Image(1, {0, 0, 0, 0}), true), bench::kIdenticalPsnr);
  // Red at alpha 255 written at alpha 51: red 255 against 51 once premultiplied, alpha 255 against 51, over four
  // channels: 10 log10(255² × 4 / (2 × 204²)).
  EXPECT_NEAR(bench::Psnr(Image(1, {255, 0, 0, 255}), Image(1, {255, 0, 0, 51}), true), 4.94850, 1e-4);
}

}  // namespace
