// The bitmap scale for a screen's DPI, the scaled bitmaps' resource IDs and sizes, and that the generated
// header facts at 150 % and 200 % agree with the picker's sizes.
#include "widgets/artwork_scale.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>

#include "resources/art/header_strip_cuts.h"
#include "resources/resource_ids.h"

namespace {

TEST(ArtworkScaleForDpi, TheSmallestScaleAtOrAboveTheDpi) {
  EXPECT_EQ(ArtworkScaleForDpi(0), ArtworkScale::k100);  // unknown
  EXPECT_EQ(ArtworkScaleForDpi(72), ArtworkScale::k100);
  EXPECT_EQ(ArtworkScaleForDpi(96), ArtworkScale::k100);
  EXPECT_EQ(ArtworkScaleForDpi(97), ArtworkScale::k150);
  EXPECT_EQ(ArtworkScaleForDpi(120), ArtworkScale::k150);  // 125 %
  EXPECT_EQ(ArtworkScaleForDpi(144), ArtworkScale::k150);
  EXPECT_EQ(ArtworkScaleForDpi(145), ArtworkScale::k200);
  EXPECT_EQ(ArtworkScaleForDpi(168), ArtworkScale::k200);  // 175 %
  EXPECT_EQ(ArtworkScaleForDpi(192), ArtworkScale::k200);
}

TEST(ArtworkScaleForDpi, AboveTwoHundredPercentStaysAtTheLargest) {
  EXPECT_EQ(ArtworkScaleForDpi(193), ArtworkScale::k200);
  EXPECT_EQ(ArtworkScaleForDpi(288), ArtworkScale::k200);
  EXPECT_EQ(ArtworkScaleForDpi(480), ArtworkScale::k200);
}

TEST(ArtworkScalePercent, OneHundredOneHundredFiftyTwoHundred) {
  EXPECT_EQ(ArtworkScalePercent(ArtworkScale::k100), 100);
  EXPECT_EQ(ArtworkScalePercent(ArtworkScale::k150), 150);
  EXPECT_EQ(ArtworkScalePercent(ArtworkScale::k200), 200);
}

TEST(ArtworkResourceId, AThousandMoreAt150AndTwoThousandMoreAt200) {
  EXPECT_EQ(ArtworkResourceId(IDB_LOCK_DISABLED, ArtworkScale::k100), 130);
  EXPECT_EQ(ArtworkResourceId(IDB_LOCK_DISABLED, ArtworkScale::k150), 1130);
  EXPECT_EQ(ArtworkResourceId(IDB_LOCK_DISABLED, ArtworkScale::k200), 2130);
  EXPECT_EQ(ArtworkResourceId(IDB_HEADER_LEFT, ArtworkScale::k150), 1140);
  EXPECT_EQ(ArtworkResourceId(IDB_PRODUCT_PICTURE, ArtworkScale::k200), 2170);
}

TEST(ArtworkResourceId, TheScaledIdsOfTheBitmapsMeetNoneAtAnotherScale) {
  // 130..170 at 100 %: the ranges at the three scales stay apart.
  EXPECT_GT(ArtworkResourceId(IDB_LOCK_DISABLED, ArtworkScale::k150), IDB_PRODUCT_PICTURE);
  EXPECT_GT(ArtworkResourceId(IDB_LOCK_DISABLED, ArtworkScale::k200),
            ArtworkResourceId(IDB_PRODUCT_PICTURE, ArtworkScale::k150));
}

TEST(ArtworkScaledSize, RoundsHalvesToEvenAsTheGeneratorDoes) {
  EXPECT_EQ(ArtworkScaledSize(16, ArtworkScale::k100), 16);
  EXPECT_EQ(ArtworkScaledSize(16, ArtworkScale::k150), 24);
  EXPECT_EQ(ArtworkScaledSize(16, ArtworkScale::k200), 32);
  EXPECT_EQ(ArtworkScaledSize(181, ArtworkScale::k150), 272);  // 271.5
  EXPECT_EQ(ArtworkScaledSize(19, ArtworkScale::k150), 28);    // 28.5
  EXPECT_EQ(ArtworkScaledSize(35, ArtworkScale::k150), 52);    // 52.5
  EXPECT_EQ(ArtworkScaledSize(1, ArtworkScale::k150), 2);      // 1.5
  EXPECT_EQ(ArtworkScaledSize(35, ArtworkScale::k200), 70);
}

TEST(HeaderStripAtScale, GeneratedSizesAreThePickersScaledSizes) {
  EXPECT_EQ(kHeaderStripLeftWidth150, ArtworkScaledSize(597, ArtworkScale::k150));
  EXPECT_EQ(kHeaderStripRightWidth150, ArtworkScaledSize(429, ArtworkScale::k150));
  EXPECT_EQ(kHeaderStripTileWidth150, ArtworkScaledSize(101, ArtworkScale::k150));
  EXPECT_EQ(kHeaderStripHeight150, ArtworkScaledSize(40, ArtworkScale::k150));
  EXPECT_EQ(kHeaderStripLeftWidth200, ArtworkScaledSize(597, ArtworkScale::k200));
  EXPECT_EQ(kHeaderStripRightWidth200, ArtworkScaledSize(429, ArtworkScale::k200));
  EXPECT_EQ(kHeaderStripTileWidth200, ArtworkScaledSize(101, ArtworkScale::k200));
  EXPECT_EQ(kHeaderStripHeight200, ArtworkScaledSize(40, ArtworkScale::k200));
}

// The scaled strip has the same words, so the same number of cuts, each ascending, inside the strip and
// within a few pixels of the 100 % cut times the factor (rounding and the thicker shadow move it a little).
template <size_t N>
void ExpectCutsFollowThe100PercentOnes(const int (&cuts)[N], int percent, int stripWidth) {
  ASSERT_EQ(N, std::size(kHeaderLeftCuts));
  for (size_t i = 0; i < N; ++i) {
    SCOPED_TRACE(i);
    if (i > 0) {
      EXPECT_LT(cuts[i - 1], cuts[i]);
    }
    EXPECT_LE(cuts[i], stripWidth);
    const int expected = kHeaderLeftCuts[i] * percent / 100;
    EXPECT_GE(cuts[i], expected - 2);
    EXPECT_LE(cuts[i], expected + 2 * percent / 100);
  }
}

TEST(HeaderStripAtScale, CutsFollowThe100PercentCutsTimesTheFactor) {
  ExpectCutsFollowThe100PercentOnes(kHeaderLeftCuts150, 150, kHeaderStripLeftWidth150);
  ExpectCutsFollowThe100PercentOnes(kHeaderLeftCuts200, 200, kHeaderStripLeftWidth200);
}

}  // namespace
