#include "reduce/dither.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The ordered matrix as the design table gives it, so the test does not read the code's copy.
const int kMatrix[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},    {49, 17, 57, 25, 51, 19, 59, 27}, {13, 45, 5, 37, 15, 47, 7, 39},
    {61, 29, 53, 21, 63, 31, 55, 23}, {4, 36, 12, 44, 2, 34, 10, 42},   {52, 20, 60, 28, 50, 18, 58, 26},
    {16, 48, 8, 40, 14, 46, 6, 38},   {64, 32, 56, 24, 62, 30, 54, 22},
};

DitherPixel Pixel(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  return DitherPixel{red, green, blue, alpha};
}

void ExpectPixel(const DitherPixel& pixel, int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  EXPECT_EQ(pixel.red, red);
  EXPECT_EQ(pixel.green, green);
  EXPECT_EQ(pixel.blue, blue);
  EXPECT_EQ(pixel.alpha, alpha);
}

const DitherAlphaRules kNoAlphaDither{false, false};
const DitherAlphaRules kAlphaDither{true, false};
const DitherAlphaRules kAlphaDitherKeepClear{true, true};

TEST(PatternDither, FlatMidGrayRunsFrom97To160AndRepeatsEveryEightPixels) {
  std::set<int32_t> seen;
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 0; x < 24; ++x) {
      DitherPixel pixel = Pixel(128, 128, 128, 255);
      DitherPattern(x, y, kNoAlphaDither, pixel);
      const int32_t expected = 96 + kMatrix[y % 8][x % 8];
      ASSERT_EQ(pixel.red, expected) << "x " << x << " y " << y;
      ASSERT_EQ(pixel.green, expected);
      ASSERT_EQ(pixel.blue, expected);
      ASSERT_EQ(pixel.alpha, 255) << "alpha is left alone without transparency dithering";
      seen.insert(pixel.red);
    }
  }
  EXPECT_EQ(seen.size(), 64u);
  EXPECT_EQ(*seen.begin(), 97);
  EXPECT_EQ(*seen.rbegin(), 160);
  EXPECT_EQ(PatternOffset(0, 0), -31);
  EXPECT_EQ(PatternOffset(1, 0), 1);
  EXPECT_EQ(PatternOffset(0, 7), 32);
  EXPECT_EQ(PatternOffset(9, 8), PatternOffset(1, 0));
}

TEST(PatternDither, BlackIsLightenedOnlyByTheUpperHalfOfTheMatrix) {
  int unchanged = 0;
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      DitherPixel pixel = Pixel(0, 0, 0, 255);
      DitherPattern(x, y, kNoAlphaDither, pixel);
      const int cell = kMatrix[y][x];
      EXPECT_EQ(pixel.red, cell <= 32 ? 0 : cell - 32) << "cell " << cell;
      if (pixel.red == 0) ++unchanged;
    }
  }
  EXPECT_EQ(unchanged, 32);
  DitherPixel white = Pixel(255, 250, 230, 255);
  DitherPattern(0, 7, kNoAlphaDither, white);  // +32 clamps at the top
  ExpectPixel(white, 255, 255, 255, 255);
}

TEST(PatternDither, AlphaFollowsTransparencyDitheringAndClearPixelsInAlphaMode) {
  DitherPixel pixel = Pixel(10, 10, 10, 100);
  DitherPattern(1, 1, kAlphaDither, pixel);  // cell 17: -15
  ExpectPixel(pixel, 0, 0, 0, 85);

  pixel = Pixel(10, 10, 10, 0);
  DitherPattern(3, 0, kAlphaDither, pixel);  // cell 41: +9; key-colour mode does not exempt clear pixels
  EXPECT_EQ(pixel.alpha, 9);

  pixel = Pixel(10, 10, 10, 0);
  DitherPattern(3, 0, kAlphaDitherKeepClear, pixel);  // alpha mode: a clear pixel stays clear
  ExpectPixel(pixel, 19, 19, 19, 0);

  pixel = Pixel(10, 10, 10, 1);
  DitherPattern(3, 0, kAlphaDitherKeepClear, pixel);  // only exactly 0 is exempt
  EXPECT_EQ(pixel.alpha, 10);
}

TEST(NoiseDither, FirstDrawsOfARunAndTheirOffsets) {
  DitherState state;
  ResetNoise(state);
  EXPECT_EQ(NoiseDraw(state), 38);
  EXPECT_EQ(NoiseDraw(state), 7719);
  EXPECT_EQ(NoiseDraw(state), 21238);
  EXPECT_EQ(NoiseDraw(state), 2437);

  ResetNoise(state);
  DitherPixel pixel = Pixel(100, 100, 100, 255);
  DitherNoise(state, kNoAlphaDither, pixel);
  ExpectPixel(pixel, 90, 91, 106, 255);

  // A second run starts the sequence again.
  ResetNoise(state);
  pixel = Pixel(5, 250, 0, 255);
  DitherNoise(state, kNoAlphaDither, pixel);
  ExpectPixel(pixel, 0, 241, 6, 255);
}

TEST(NoiseDither, SkippingDrawsLandsWhereDrawingThemDoes) {
  // Counts across the bit lengths the skip composes, including the generator's own period of 2^32 folded in.
  for (const uint64_t count : {0ull, 1ull, 2ull, 3ull, 7ull, 8ull, 1000ull, 65537ull, 300001ull}) {
    DitherState drawn;
    ResetNoise(drawn);
    for (int i = 0; i < 3; ++i) (void)NoiseDraw(drawn);  // from a state other than the first
    DitherState skipped;
    skipped.noise = drawn.noise;
    for (uint64_t i = 0; i < count; ++i) (void)NoiseDraw(drawn);
    SkipNoiseDraws(skipped, count);
    EXPECT_EQ(skipped.noise, drawn.noise) << count << " draws";
  }
  DitherState full;
  full.noise = 12345;
  SkipNoiseDraws(full, uint64_t{1} << 32);
  EXPECT_EQ(full.noise, 12345u) << "the generator repeats after 2^32 draws";
}

TEST(NoiseDither, DrawsPerPixelFollowTheAlphaRules) {
  EXPECT_EQ(NoiseDrawsFor(kNoAlphaDither, 0), 3);
  EXPECT_EQ(NoiseDrawsFor(kAlphaDither, 0), 4);
  EXPECT_EQ(NoiseDrawsFor(kAlphaDitherKeepClear, 0), 3);
  EXPECT_EQ(NoiseDrawsFor(kAlphaDitherKeepClear, 1), 4);
  // DitherNoise takes exactly as many.
  for (const DitherAlphaRules& rules : {kNoAlphaDither, kAlphaDither, kAlphaDitherKeepClear}) {
    for (const int32_t alpha : {0, 1, 255}) {
      DitherState noise;
      ResetNoise(noise);
      DitherState expected;
      ResetNoise(expected);
      DitherPixel pixel = Pixel(100, 100, 100, alpha);
      DitherNoise(noise, rules, pixel);
      SkipNoiseDraws(expected, static_cast<uint64_t>(NoiseDrawsFor(rules, alpha)));
      EXPECT_EQ(noise.noise, expected.noise) << "alpha " << alpha;
    }
  }
}

TEST(NoiseDither, AlphaTakesAFourthDrawOnlyWhenItIsDithered) {
  DitherState state;
  ResetNoise(state);
  DitherPixel first = Pixel(100, 100, 100, 200);
  DitherNoise(state, kAlphaDither, first);
  ExpectPixel(first, 90, 91, 106, 189);  // draw 2437: -11
  DitherPixel second = Pixel(100, 100, 100, 200);
  DitherNoise(state, kAlphaDither, second);
  ExpectPixel(second, 107, 105, 97, 213);  // draws 8855, 11797, 8365, 32285: +7, +5, -3, +13

  // A clear pixel in alpha mode is passed over and takes no draw: the next pixel's red gets draw 4.
  ResetNoise(state);
  DitherPixel clear = Pixel(100, 100, 100, 0);
  DitherNoise(state, kAlphaDitherKeepClear, clear);
  ExpectPixel(clear, 90, 91, 106, 0);
  DitherPixel next = Pixel(100, 100, 100, 255);
  DitherNoise(state, kNoAlphaDither, next);
  ExpectPixel(next, 89, 107, 105, 255);

  // Without transparency dithering there is no alpha draw either.
  ResetNoise(state);
  DitherPixel opaque = Pixel(100, 100, 100, 200);
  DitherNoise(state, kNoAlphaDither, opaque);
  EXPECT_EQ(opaque.alpha, 200);
  DitherPixel after = Pixel(100, 100, 100, 200);
  DitherNoise(state, kNoAlphaDither, after);
  EXPECT_EQ(after.red, 89);
}

TEST(DiffusionDither, ErrorRowStartsZeroAndCarryRestartsEachRow) {
  DitherState state;
  ASSERT_TRUE(AllocateErrorRow(state, 3));
  for (int i = 0; i < 12; ++i) EXPECT_EQ(state.errorRow[i], 0);
  state.carry[0] = 5;
  state.carry[3] = -7;
  StartDitherRow(state);
  for (int32_t channel : state.carry) EXPECT_EQ(channel, 0);
  FreeErrorRow(state);
  EXPECT_EQ(state.errorRow, nullptr);
}

TEST(DiffusionDither, HalfTheErrorReachesTheRightNeighbour) {
  DitherState state;
  ASSERT_TRUE(AllocateErrorRow(state, 3));
  StartDitherRow(state);
  DitherPixel pixel = Pixel(150, 10, 60, 255);
  DiffuseBefore(state, 0, false, pixel);
  ExpectPixel(pixel, 150, 10, 60, 255);
  // Errors +100, -1, +7: h = 50, -1, 3; right = 43, -1, 2; below = 7, 0, 1.
  DiffuseAfter(state, 0, pixel, Pixel(50, 11, 53, 0), false);
  EXPECT_EQ(state.carry[0], 43);
  EXPECT_EQ(state.carry[1], -1);
  EXPECT_EQ(state.carry[2], 2);
  EXPECT_EQ(state.carry[3], 0);
  DitherPixel next = Pixel(100, 100, 100, 100);
  DiffuseBefore(state, 1, false, next);
  ExpectPixel(next, 150, 99, 103, 100);

  DitherPixel high = Pixel(230, 0, 100, 100);
  DiffuseBefore(state, 1, false, high);  // clamped at both ends
  ExpectPixel(high, 255, 0, 103, 100);
}

TEST(DiffusionDither, OnePixelWideImageGetsOnlyTheShareOfThePixelAbove) {
  DitherState state;
  ASSERT_TRUE(AllocateErrorRow(state, 1));
  StartDitherRow(state);
  DitherPixel top = Pixel(110, 20, 200, 255);
  DiffuseBefore(state, 0, false, top);
  DiffuseAfter(state, 0, top, Pixel(10, 30, 200, 255), false);  // errors +100, -10, 0: q = 31, -4, 0
  StartDitherRow(state);
  DitherPixel below = Pixel(10, 10, 10, 255);
  DiffuseBefore(state, 0, false, below);
  ExpectPixel(below, 41, 6, 10, 255);
}

TEST(DiffusionDither, FirstPixelOfARowGetsTheSharesOfTheFirstTwoAbove) {
  DitherState state;
  ASSERT_TRUE(AllocateErrorRow(state, 3));
  StartDitherRow(state);
  // Row 0, red only: pixel 0 errs by +100 (q 31), pixel 1 by +16 (q 5), pixel 2 by 0.
  DitherPixel p0 = Pixel(100, 0, 0, 255);
  DiffuseBefore(state, 0, false, p0);
  DiffuseAfter(state, 0, p0, Pixel(0, 0, 0, 255), false);
  DitherPixel p1 = Pixel(0, 0, 0, 255);
  DiffuseBefore(state, 1, false, p1);
  ASSERT_EQ(p1.red, 50);
  DiffuseAfter(state, 1, p1, Pixel(34, 0, 0, 255), false);
  DitherPixel p2 = Pixel(0, 0, 0, 255);
  DiffuseBefore(state, 2, false, p2);
  ASSERT_EQ(p2.red, 8);
  DiffuseAfter(state, 2, p2, Pixel(8, 0, 0, 255), false);

  StartDitherRow(state);
  DitherPixel next = Pixel(0, 0, 0, 255);
  DiffuseBefore(state, 0, false, next);
  EXPECT_EQ(next.red, 36);  // 31 + 5
}

TEST(DiffusionDither, KeyColourAlphaPassesPlusAndMinus64) {
  DitherState state;
  ASSERT_TRUE(AllocateErrorRow(state, 2));
  const DitherPixel keyTarget = Pixel(0, 0, 0, 127);

  StartDitherRow(state);
  DitherPixel opaque = Pixel(0, 0, 0, 255);
  DiffuseBefore(state, 0, true, opaque);
  DiffuseAfter(state, 0, opaque, keyTarget, true);
  DitherPixel right = Pixel(0, 0, 0, 100);
  DiffuseBefore(state, 1, true, right);
  EXPECT_EQ(right.alpha, 164);

  ASSERT_TRUE(AllocateErrorRow(state, 2));
  StartDitherRow(state);
  DitherPixel clear = Pixel(0, 0, 0, 0);
  DiffuseBefore(state, 0, true, clear);
  DiffuseAfter(state, 0, clear, keyTarget, true);
  right = Pixel(0, 0, 0, 100);
  DiffuseBefore(state, 1, true, right);
  EXPECT_EQ(right.alpha, 36);

  // Without transparency dithering alpha neither moves nor spreads.
  ASSERT_TRUE(AllocateErrorRow(state, 2));
  StartDitherRow(state);
  clear = Pixel(0, 0, 0, 0);
  DiffuseBefore(state, 0, false, clear);
  DiffuseAfter(state, 0, clear, keyTarget, false);
  EXPECT_EQ(state.carry[3], 0);
  right = Pixel(0, 0, 0, 100);
  DiffuseBefore(state, 1, true, right);
  EXPECT_EQ(right.alpha, 100);
}

}  // namespace
