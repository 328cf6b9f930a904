// Counting a sample's colours into a histogram, and the table as a lookup cache.
#include "reduce/color_hash.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <vector>

namespace {

using Entry = std::array<int, 6>;  // red, green, blue, alpha, spare, count

std::vector<Entry> Entries(const AColorHistEntry* histogram, int32_t count) {
  std::vector<Entry> entries;
  for (int32_t i = 0; i < count; ++i) {
    const AColorHistEntry& e = histogram[i];
    entries.push_back({e.red, e.green, e.blue, e.alpha, e.spare, e.value});
  }
  return entries;
}

TEST(ColorHash, UsesTheFixedWeightsModulo20023) {
  EXPECT_EQ(ColorHash(0, 0, 0, 0), 0);
  EXPECT_EQ(ColorHash(1, 0, 0, 0), 13000);  // 33023 - 20023
  EXPECT_EQ(ColorHash(0, 0, 0, 1), 3984);   // 24007 - 20023
  EXPECT_EQ(ColorHash(10, 20, 30, 40), 18018);
  EXPECT_EQ(ColorHash(255, 255, 255, 255), 10374);  // the largest sum, 29083770
}

TEST(ComputeColorHistogram, CountsOpaqueColoursInChainOrderNewestFirst) {
  // Chains: (0,1,0,255) 4737; (0,0,0,255) and (1,139,0,255) share 14770; (0,1,0,128) 19367.
  const std::vector<uint8_t> pixels = {0,      0,   0, 255, 7, /**/ 1, 139, 0,   255, 0, /**/ 0, 0, 0, 255, 3,
                                       /**/ 0, 1,   0, 255, 0, 5,      5,   5,   0,   9, /**/ 0, 1, 0, 128, 0,
                                       /**/ 1, 139, 0, 255, 0, /**/ 0, 0,   255, 0,   0};
  int32_t colors = -1;
  AColorHistEntry* histogram = pam_computeacolorhist(pixels.data(), 4, 2, 4, &colors);
  ASSERT_NE(histogram, nullptr);
  // Alpha 0 is skipped, alpha alone tells colours apart, the spare byte comes from the first pixel.
  EXPECT_EQ(
      Entries(histogram, colors),
      (std::vector<Entry>{{0, 1, 0, 255, 0, 1}, {1, 139, 0, 255, 0, 2}, {0, 0, 0, 255, 7, 2}, {0, 1, 0, 128, 0, 1}}));
  pam_freeacolorhist(histogram);
  EXPECT_EQ(histogram, nullptr);
  // Four colours fit a limit of four, not of three.
  EXPECT_EQ(pam_computeacolorhist(pixels.data(), 4, 2, 3, &colors), nullptr);
  EXPECT_EQ(pam_computeacolorhash(pixels.data(), 4, 2, 3, &colors), nullptr);

  // All transparent: a valid, empty result.
  const std::vector<uint8_t> clear = {1, 2, 3, 0, 0, 4, 5, 6, 0, 0};
  AColorHashTable* table = pam_computeacolorhash(clear.data(), 2, 1, 10, &colors);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(colors, 0);
  pam_freeacolorhash(table);
  EXPECT_EQ(table, nullptr);
}

TEST(ColorHashCache, FindsTheNewestNodeOfAColour) {
  AColorHashTable* table = pam_allocacolorhash();
  ASSERT_NE(table, nullptr);
  const uint8_t first[5] = {0, 0, 0, 255, 0}, sameChain[5] = {1, 139, 0, 255, 0};
  EXPECT_EQ(pam_findacolor(table, 0, 0, 0, 255), -1);
  EXPECT_EQ(pam_insertacolor(table, first, 7), 0);
  EXPECT_EQ(pam_insertacolor(table, sameChain, 2), 0);
  EXPECT_EQ(pam_findacolor(table, 0, 0, 0, 255), 7);  // past another colour at the chain's head
  EXPECT_EQ(pam_findacolor(table, 0, 0, 0, 254), -1);
  EXPECT_EQ(pam_insertacolor(table, first, 200), 0);  // no search first: the new node shadows the old
  EXPECT_EQ(pam_findacolor(table, 0, 0, 0, 255), 200);
  pam_freeacolorhash(table);
  EXPECT_EQ(table, nullptr);
  pam_freeacolorhash(table);  // a null handle is left alone
}

TEST(ComputeColorHistogram, RandomSamplesCountEveryOpaquePixelOnce) {
  for (uint32_t seed = 1; seed <= 40 && !HasFailure(); ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const int32_t width = 1 + random() % 60, height = 1 + random() % 60, levels = 1 + random() % 6;
    std::vector<uint8_t> pixels;
    std::map<std::array<int, 4>, int> expected, counted;
    for (int32_t i = 0; i < width * height; ++i) {
      std::array<int, 4> color;
      for (int& channel : color) channel = (random() % levels) * (255 / levels);
      pixels.insert(pixels.end(), color.begin(), color.end());
      pixels.push_back(static_cast<uint8_t>(random()));
      if (color[3] != 0) ++expected[color];
    }
    int32_t colors = -1;
    AColorHistEntry* histogram = pam_computeacolorhist(pixels.data(), width, height, 32767, &colors);
    ASSERT_NE(histogram, nullptr);
    for (const Entry& e : Entries(histogram, colors)) counted[{e[0], e[1], e[2], e[3]}] += e[5];
    EXPECT_EQ(colors, static_cast<int32_t>(expected.size()));  // also: no colour listed twice
    EXPECT_EQ(counted, expected);                              // so the counts sum to the opaque pixels
    pam_freeacolorhist(histogram);
  }
}

}  // namespace
