// The quality benchmark's measure of a written image against its source.
#include "tools/psnr.h"

#include <gtest/gtest.h>

#include <cmath>
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

namespace {

// The plug-in's own meter, which the bench's figure above goes through: sums kept apart come together exactly.
TEST(PsnrMeter, BandsMeasuredApartMergeIntoTheWholeImagesFigure) {
  const uint8_t source[3][4] = {{0, 0, 0, 255}, {100, 50, 25, 128}, {9, 9, 9, 0}};
  const uint8_t written[3][4] = {{3, 0, 0, 255}, {100, 40, 25, 128}, {200, 9, 9, 0}};
  PsnrMeter whole(true);
  PsnrMeter first(true);
  PsnrMeter rest(true);
  for (int i = 0; i < 3; ++i) {
    whole.Add(source[i], written[i]);
    (i == 0 ? first : rest).Add(source[i], written[i]);
  }
  first.Merge(rest);
  // 3² + (10 × 128 / 255)² over twelve samples; the transparent pixel's colour counts for nothing.
  const double expected = (9.0 + (1280.0 / 255) * (1280.0 / 255)) / 12;
  EXPECT_NEAR(whole.MeanSquare(), expected, 1e-9);
  EXPECT_DOUBLE_EQ(first.MeanSquare(), whole.MeanSquare());
  EXPECT_NEAR(first.Db(), 10 * std::log10(255.0 * 255.0 / expected), 1e-9);
  EXPECT_EQ(PsnrMeter(false).Db(), kIdenticalPsnr);
}

}  // namespace
