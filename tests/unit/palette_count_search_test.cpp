// The Palette Quality's count: the fewest colours whose file reaches the target, on images whose figures can be
// worked out by hand.
#include "reduce/palette_count_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/picture_psnr.h"
#include "reduce/reduce_filter.h"

namespace {

// Eight colours in equal bands of rows, far apart but for the first two, which differ by 10 in red: seven colours
// merge those two into their mean (each pixel 5 off in red: 10 log10(255² × 3 × 8 / (2 × 25)) = 44.96 dB), and
// six merge two far colours (below 30 dB).
constexpr uint8_t kColors[8][3] = {{100, 100, 100}, {110, 100, 100}, {0, 0, 0},   {255, 255, 255},
                                   {255, 0, 0},     {0, 255, 0},     {0, 0, 255}, {255, 255, 0}};
constexpr double kSevenColorsDb = 44.96;

struct BandImage {
  std::vector<uint8_t> pixels;
  WholeImageRecord record;
  BandImage() {
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < 16; ++x) pixels.insert(pixels.end(), kColors[y / 2], kColors[y / 2] + 3);
    }
    record = WholeImageRecord{pixels.data(), pixels.size(), 16, 16, 3, 48, kWholeRgb, 256};
  }
};

struct Saved {
  PaletteRecord palette;
  double psnr = 0;
};

// A whole reduction through the entry point the save uses, and the PSNR of the rows it wrote.
Saved Reduce(const WholeImageRecord& image, const SaveOptionsRecord& options, PaletteRecord palette = {}) {
  ColorMapTable colorMap;
  ReducedImageRecord reduced;
  const ReductionRecords records{image, options, palette, colorMap, reduced};
  EXPECT_EQ(ReduceImage(records, {}, nullptr), ReduceStatus::Ok);
  Saved saved{palette, PictureDb(image, FilterSettingsFor(image, options), palette, reduced.pixels, reduced.rowBytes)};
  FreeReducedImagePixels(reduced);
  return saved;
}

SaveOptionsRecord QualityOptions(int32_t quality, bool refine) {
  SaveOptionsRecord options;
  options.pngType = kPngPalette;
  options.paletteColors = 2;  // the list's count plays no part while a quality is set
  options.dither = kNoDither;
  options.refinePalette = refine ? 1 : 0;
  options.paletteQuality = quality;
  return options;
}

TEST(QualityTarget, IsThirtyPlusAFifthOfTheQualityInDb) {
  EXPECT_DOUBLE_EQ(QualityTargetDb(1), 30.2);
  EXPECT_DOUBLE_EQ(QualityTargetDb(75), 45.0);
  EXPECT_DOUBLE_EQ(QualityTargetDb(100), 50.0);
}

TEST(PaletteCountSearch, TakesTheFewestColoursThatReachTheTargetAndNoFewer) {
  const BandImage image;
  // Refined: 44 dB, seven colours reach it (the close pair merged), six do not.
  const Saved seven = Reduce(image.record, QualityOptions(70, true));
  EXPECT_EQ(seven.palette.count, 7);
  EXPECT_NEAR(seven.psnr, kSevenColorsDb, 0.05);
  // 30.2 dB: six colours still do not.
  EXPECT_EQ(Reduce(image.record, QualityOptions(1, true)).palette.count, 7);
  // 46 dB: seven do not (44.96), eight are the image itself.
  const Saved eight = Reduce(image.record, QualityOptions(80, true));
  EXPECT_EQ(eight.palette.count, 8);
  EXPECT_EQ(eight.psnr, kIdenticalPsnr);
  // The median cut alone does not merge the close pair at seven; whatever it takes reaches the target.
  const Saved cut = Reduce(image.record, QualityOptions(70, false));
  EXPECT_LE(cut.palette.count, 8);
  EXPECT_GE(cut.psnr, QualityTargetDb(70));
}

TEST(PaletteCountSearch, TheColoursListCountsAgainWhenTheQualityIsOff) {
  const BandImage image;
  for (const int32_t off : {0, 101, -5}) {
    SaveOptionsRecord options = QualityOptions(off, false);
    options.paletteColors = 4;
    EXPECT_EQ(Reduce(image.record, options).palette.count, 4) << off;
  }
}

TEST(PaletteCountSearch, LockedColoursStayWhateverTheCount) {
  const BandImage image;
  PaletteRecord locked;
  locked.entries[0] = PaletteEntry{kColors[5][0], kColors[5][1], kColors[5][2], 255, 1};
  locked.entries[1] = PaletteEntry{kColors[6][0], kColors[6][1], kColors[6][2], 255, 1};
  locked.count = 2;
  const Saved saved = Reduce(image.record, QualityOptions(70, true), locked);
  EXPECT_EQ(saved.palette.count, 7);
  int lockedSeen = 0;
  for (int32_t i = 0; i < saved.palette.count; ++i) {
    const PaletteEntry& entry = saved.palette.entries[i];
    if (entry.mark == 0) continue;
    ++lockedSeen;
    const bool green = entry.red == 0 && entry.green == 255 && entry.blue == 0;
    const bool blue = entry.red == 0 && entry.green == 0 && entry.blue == 255;
    EXPECT_TRUE(green || blue) << i;
  }
  EXPECT_EQ(lockedSeen, 2);
}

TEST(PaletteCountSearch, AnImageThatNoPaletteReproducesTakes256AndSaysWhatItReached) {
  std::vector<uint8_t> pixels;
  for (int32_t i = 0; i < 64 * 64; ++i) {
    pixels.insert(pixels.end(), {uint8_t(i * 7), uint8_t(i * 13 >> 2), uint8_t(i * 31 >> 4)});
  }
  const WholeImageRecord image{pixels.data(), pixels.size(), 64, 64, 3, 192, kWholeRgb, 256};
  const SaveOptionsRecord options = QualityOptions(100, false);
  PaletteRecord palette;
  ColorMapTable colorMap;
  PaletteCountChoice choice;
  ASSERT_EQ(BuildPaletteForQuality(image, options, FilterSettingsFor(image, options), palette, colorMap, {}, choice),
            ReduceStatus::Ok);
  EXPECT_EQ(choice.colors, 256);
  EXPECT_GT(choice.psnr, 0);
  EXPECT_LT(choice.psnr, 50);
  EXPECT_LE(choice.trials, kMostCountTrials);
  // A stop asked for ends the search with nothing built.
  int asked = 0;
  EXPECT_EQ(
      BuildPaletteForQuality(
          image, options, FilterSettingsFor(image, options), palette, colorMap, [&] { return ++asked < 3; }, choice),
      ReduceStatus::Aborted);
}

}  // namespace
