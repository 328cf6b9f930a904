// The palette refinement: the histogram it weighs, the k-means over it, and the refined build.
#include "reduce/palette_refine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/alpha_weight.h"
#include "reduce/box_cut.h"
#include "reduce/median_cut.h"
#include "reduce/palette_lookup.h"
#include "reduce/reduce_filter.h"
#include "reduce/refine_histogram.h"

namespace {

using Rgba = std::array<int, 4>;
using Counts = std::map<Rgba, uint32_t>;

struct TestImage {
  std::vector<uint8_t> pixels;
  WholeImageRecord record;
  TestImage(int32_t width, int32_t height, int32_t planes, std::vector<uint8_t> bytes, int32_t minAlpha = 500)
      : pixels(std::move(bytes)) {
    record = WholeImageRecord{pixels.data(), pixels.size(), width, height, planes, width * planes, 3, minAlpha};
  }
};

Counts CountsOf(const RefineHistogram& histogram) {
  Counts counts;
  for (int32_t i = 0; i < histogram.entries; ++i) {
    const uint32_t c = histogram.Colors()[i].color;
    counts[{int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF), int(c >> 24)}] += histogram.Colors()[i].count;
  }
  return counts;
}

// Σ count × squared distance to the nearest colour, by the plain scan the matching is defined by.
int64_t ErrorOf(const RefineHistogram& histogram, const std::vector<AColorHistEntry>& colors) {
  int64_t error = 0;
  for (int32_t i = 0; i < histogram.entries; ++i) {
    const uint32_t c = histogram.Colors()[i].color;
    const int r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF, a = c >> 24;
    const AColorHistEntry& to = colors[NearestColorIndex(colors.data(), static_cast<int32_t>(colors.size()), uint8_t(r),
                                                         uint8_t(g), uint8_t(b), uint8_t(a))];
    const int64_t dr = r - to.red, dg = g - to.green, db = b - to.blue, da = a - to.alpha;
    error += histogram.Colors()[i].count * (dr * dr + dg * dg + db * db + da * da);
  }
  return error;
}

// Smooth gradients with some noise, `planes` channels; alpha (if any) varies from 1 to 255.
TestImage GradientImage(uint32_t seed, int32_t width, int32_t height, int32_t planes) {
  std::mt19937 random(seed);
  std::vector<uint8_t> pixels;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int noise = static_cast<int>(random() % 7) - 3;
      const int values[4] = {x * 255 / width + noise, y * 255 / height, (x + y) * 127 / (width + height) + noise,
                             1 + x * 254 / width};
      for (int c = 0; c < planes; ++c) pixels.push_back(uint8_t(std::clamp(values[c], 0, 255)));
    }
  }
  return TestImage(width, height, planes, pixels, planes == 4 ? 1 : 500);
}

std::vector<AColorHistEntry> RandomColors(std::mt19937& random, int32_t count) {
  std::vector<AColorHistEntry> colors(static_cast<size_t>(count));
  for (AColorHistEntry& c : colors) c = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 255, 7, 99};
  return colors;
}

TEST(RefineHistogram, CountsEveryPixelOfASmallImageButTheTransparentOnes) {
  const TestImage rgb(3, 2, 3, {1, 2, 3, 1, 2, 3, 9, 9, 9, /**/ 1, 2, 3, 0, 0, 0, 9, 9, 9});
  RefineHistogram histogram = CountRefineColors(rgb.record, 0, false);
  ASSERT_TRUE(histogram.Ready());
  EXPECT_EQ(histogram.pixels, 6);
  EXPECT_EQ(CountsOf(histogram), (Counts{{{1, 2, 3, 255}, 3}, {{9, 9, 9, 255}, 2}, {{0, 0, 0, 255}, 1}}));

  // Clear pixels are the transparent entry's and are left out; with compositing they are the fill colour.
  const TestImage rgba(2, 2, 4, {10, 20, 30, 0, 10, 20, 30, 128, 10, 20, 30, 255, 50, 60, 70, 0});
  EXPECT_EQ(CountsOf(CountRefineColors(rgba.record, 0, false)),
            (Counts{{{10, 20, 30, 128}, 1}, {{10, 20, 30, 255}, 1}}));
  // Over white (0x00FFFFFF): 10 × 128/255 + 255 × 127/255, truncated.
  EXPECT_EQ(CountsOf(CountRefineColors(rgba.record, 0x00FFFFFF, true)),
            (Counts{{{255, 255, 255, 255}, 2}, {{132, 137, 142, 255}, 1}, {{10, 20, 30, 255}, 1}}));
}

TEST(RefineHistogram, TakesTheMiddlePixelOfEvenCellsFromALargeImage) {
  // Each pixel's red is its column, green its row.
  std::vector<uint8_t> pixels;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) pixels.insert(pixels.end(), {uint8_t(x), uint8_t(y), 0});
  }
  const TestImage image(40, 30, 3, pixels);
  const RefineHistogram histogram = CountRefineColors(image.record, 0, false, 300);
  EXPECT_EQ(histogram.pixels, 300);  // 20 × 15: half the columns and half the rows
  Counts expected;
  for (int y = 1; y < 30; y += 2) {
    for (int x = 1; x < 40; x += 2) expected[{x, y, 0, 255}] = 1;
  }
  EXPECT_EQ(CountsOf(histogram), expected);
}

TEST(RefineHistogram, ThinsTheRareColoursOfANoisyImageAndKeepsTheCommonOnes) {
  // 250 colours of one pixel each and one colour of 50 pixels.
  std::vector<uint8_t> pixels;
  for (int i = 0; i < 250; ++i) pixels.insert(pixels.end(), {uint8_t(i), uint8_t(i * 7), 9});
  for (int i = 0; i < 50; ++i) pixels.insert(pixels.end(), {1, 2, 3});
  const TestImage image(300, 1, 3, pixels);
  RefineHistogram histogram = CountRefineColors(image.record, 0, false);
  ASSERT_EQ(histogram.entries, 251);
  ThinRefineHistogram(histogram, 251);
  EXPECT_EQ(histogram.entries, 251);  // not over the limit: untouched

  ThinRefineHistogram(histogram, 100);  // three times too many: every third rare colour, standing for three
  const Counts thinned = CountsOf(histogram);
  EXPECT_EQ(histogram.entries, 1 + 84);
  EXPECT_EQ(thinned.at({1, 2, 3, 255}), 50u);
  uint32_t pixelsLeft = 0;
  for (const auto& [color, count] : thinned) {
    if (color != Rgba{1, 2, 3, 255}) {
      EXPECT_EQ(count, 3u);
    }
    pixelsLeft += count;
  }
  EXPECT_EQ(pixelsLeft, 50u + 84u * 3u);
}

TEST(RefineColorMap, NeverRaisesTheErrorMovesOnlyWhatMayMoveAndCountsItRight) {
  for (uint32_t seed = 1; seed <= 24 && !testing::Test::HasFailure(); ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const TestImage image = GradientImage(seed, 20 + random() % 60, 10 + random() % 50, 3 + random() % 2);
    const RefineHistogram histogram = CountRefineColors(image.record, 0, false);
    ASSERT_TRUE(histogram.Ready());
    const int32_t count = 1 << (random() % 9);  // 1 to 256
    std::vector<AColorHistEntry> colors = RandomColors(random, count);
    bool fixed[256] = {};
    for (int32_t i = 0; i < count; ++i) fixed[i] = random() % 4 == 0;
    const std::vector<AColorHistEntry> before = colors;

    const RefineOutcome outcome = RefineColorMap(histogram, colors.data(), count, fixed, 2);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.errorBefore, ErrorOf(histogram, before));
    EXPECT_EQ(outcome.errorAfter, ErrorOf(histogram, colors));
    EXPECT_LE(outcome.errorAfter, outcome.errorBefore);
    EXPECT_LE(outcome.passes, RefinePassesFor(histogram.entries));
    for (int32_t i = 0; i < count; ++i) {
      EXPECT_EQ(colors[i].spare, 7) << i;  // only the colour is the refinement's
      EXPECT_EQ(colors[i].value, 99) << i;
      if (fixed[i]) {
        EXPECT_EQ((Rgba{colors[i].red, colors[i].green, colors[i].blue, colors[i].alpha}),
                  (Rgba{before[i].red, before[i].green, before[i].blue, before[i].alpha}))
            << i;
      }
    }
  }
}

TEST(RefineColorMap, HistogramsOfVeryManyColoursGetFewerPasses) {
  EXPECT_EQ(RefinePassesFor(0), kMostRefinePasses);
  EXPECT_EQ(RefinePassesFor(1000), kMostRefinePasses);
  EXPECT_EQ(RefinePassesFor(kRefineColorPasses / 50), 50);
  EXPECT_EQ(RefinePassesFor(int64_t{1} << 24), kFewestRefinePasses);  // more colours than a thinned histogram has
}

TEST(RefineColorMap, FindsTheClustersAPoorStartMisses) {
  // Two tight clusters of 100 pixels each; both colours start in the first cluster.
  std::vector<uint8_t> pixels;
  for (int i = 0; i < 100; ++i) pixels.insert(pixels.end(), {uint8_t(10 + i % 3), 20, 30});
  for (int i = 0; i < 100; ++i) pixels.insert(pixels.end(), {200, uint8_t(180 + i % 5), 40});
  const TestImage image(200, 1, 3, pixels);
  const RefineHistogram histogram = CountRefineColors(image.record, 0, false);
  std::vector<AColorHistEntry> colors = {{11, 20, 30, 255, 0, 0}, {12, 21, 30, 255, 0, 0}};
  const bool fixed[2] = {};
  const RefineOutcome outcome = RefineColorMap(histogram, colors.data(), 2, fixed, 1);
  ASSERT_TRUE(outcome.done);
  std::vector<Rgba> found;
  for (const AColorHistEntry& c : colors) found.push_back({c.red, c.green, c.blue, c.alpha});
  std::sort(found.begin(), found.end());
  // The means of the two clusters, rounded: (10+11+12)/3 and (180..184)/5.
  EXPECT_EQ(found, (std::vector<Rgba>{{11, 20, 30, 255}, {200, 182, 40, 255}}));
}

TEST(RefineColorMap, GivesTheSameColoursOnAnyNumberOfThreads) {
  const TestImage image = GradientImage(7, 700, 300, 4);  // several bands of histogram colours
  const RefineHistogram histogram = CountRefineColors(image.record, 0, false);
  ASSERT_GT(histogram.entries, 1 << 16);
  std::mt19937 random(3);
  const std::vector<AColorHistEntry> start = RandomColors(random, 64);
  const bool fixed[64] = {true};
  std::vector<std::vector<AColorHistEntry>> results;
  for (int32_t threads : {1, 2, 5}) {
    std::vector<AColorHistEntry> colors = start;
    ASSERT_TRUE(RefineColorMap(histogram, colors.data(), 64, fixed, threads).done);
    results.push_back(colors);
  }
  for (size_t i = 0; i < start.size(); ++i) {
    for (size_t run = 1; run < results.size(); ++run) {
      EXPECT_EQ((Rgba{results[run][i].red, results[run][i].green, results[run][i].blue, results[run][i].alpha}),
                (Rgba{results[0][i].red, results[0][i].green, results[0][i].blue, results[0][i].alpha}))
          << i;
    }
  }
}

TEST(RefineColorMap, AStopLeavesTheColoursAsTheyWere) {
  const TestImage image = GradientImage(5, 200, 100, 3);
  const RefineHistogram histogram = CountRefineColors(image.record, 0, false);
  std::mt19937 random(5);
  const std::vector<AColorHistEntry> start = RandomColors(random, 16);
  const bool fixed[16] = {};
  for (int allowed : {0, 1, 3}) {
    std::vector<AColorHistEntry> colors = start;
    int asked = 0;
    const RefineOutcome outcome =
        RefineColorMap(histogram, colors.data(), 16, fixed, 2, [&] { return asked++ < allowed; });
    EXPECT_FALSE(outcome.done) << allowed;
    EXPECT_GT(asked, allowed);
    for (size_t i = 0; i < start.size(); ++i) EXPECT_EQ(colors[i].red, start[i].red) << allowed << " " << i;
  }
}

class RefinedBuild : public testing::Test {
 protected:
  void SetUp() override {
    for (PaletteEntry& e : palette_.entries) e = PaletteEntry{};
    options_.pngType = kPngPalette;
    options_.refinePalette = 1;
  }
  std::vector<Rgba> Entries(int32_t count) const {
    std::vector<Rgba> colors;
    for (int32_t i = 0; i < count; ++i) {
      const PaletteEntry& e = palette_.entries[i];
      colors.push_back({e.red, e.green, e.blue, e.alpha});
    }
    return colors;
  }
  SaveOptionsRecord options_;
  PaletteRecord palette_;
};

TEST_F(RefinedBuild, LowersTheSampleErrorAndKeepsLocksTheKeyEntryAndTheAlphaOrder) {
  const TestImage image = GradientImage(11, 160, 120, 4);
  options_.paletteColors = 16;
  // The image has soft transparency kept in the palette: the refinement lowers the premultiplied error.
  RefineHistogram histogram = CountRefineColors(image.record, 0, false);
  PremultiplyRefineColors(histogram);

  options_.refinePalette = 0;
  ColorMapTable cut = BuildColorPalette(image.record, options_, palette_);
  ASSERT_NE(cut.data(), nullptr);
  ASSERT_EQ(palette_.count, 16);
  std::vector<AColorHistEntry> cutColors(cut.data(), cut.data() + 15);  // the last is the transparent one
  for (AColorHistEntry& color : cutColors) color = PremultipliedEntry(color);
  // The user locks two entries.
  palette_.entries[2].mark = palette_.entries[9].mark = 1;
  const Rgba locked2 = Entries(16)[2], locked9 = Entries(16)[9];

  options_.refinePalette = 1;
  ColorMapTable refined = BuildColorPalette(image.record, options_, palette_);
  ASSERT_NE(refined.data(), nullptr);
  ASSERT_EQ(palette_.count, 16);
  std::vector<AColorHistEntry> refinedColors(refined.data(), refined.data() + 15);
  for (AColorHistEntry& color : refinedColors) color = PremultipliedEntry(color);
  EXPECT_LT(ErrorOf(histogram, refinedColors), ErrorOf(histogram, cutColors));

  // Locks stay as they were, wherever they are now; they are the only marked entries.
  const std::vector<Rgba> entries = Entries(16);
  int marked = 0;
  for (int32_t i = 0; i < 16; ++i) {
    if (palette_.entries[i].mark == 0) continue;
    ++marked;
    EXPECT_TRUE(entries[i] == locked2 || entries[i] == locked9) << i;
  }
  EXPECT_EQ(marked, 2);
  // The entries come by decreasing alpha, the last showing the image's lowest alpha.
  for (int32_t i = 1; i < 16; ++i) EXPECT_GE(entries[i - 1][3], entries[i][3]) << i;
  EXPECT_EQ(entries[15][3], 1);
  // Unlocked entries are their matching colours.
  for (int32_t i = 0; i < 15; ++i) {
    EXPECT_EQ(entries[i],
              (Rgba{refined.data()[i].red, refined.data()[i].green, refined.data()[i].blue, refined.data()[i].alpha}))
        << i;
  }
}

TEST_F(RefinedBuild, AStopDuringTheRefinementAbortsTheReductionWithThePaletteNotBuilt) {
  const TestImage image = GradientImage(13, 120, 90, 3);
  options_.paletteColors = 32;
  ColorMapTable colorMap;
  ReducedImageRecord reduced;
  const ReductionRecords records{image.record, options_, palette_, colorMap, reduced};
  int reports = 0;
  const ReduceStatus status = ReduceImage(
      records, [&](double, double) { return ++reports < 2; }, nullptr);
  EXPECT_EQ(status, ReduceStatus::Aborted);
  EXPECT_EQ(palette_.built, 0);
  EXPECT_EQ(colorMap.data(), nullptr);
  EXPECT_TRUE(reduced.stale);

  // Let run, the same records give a built palette and every row.
  EXPECT_EQ(ReduceImage(
                records, [](double, double) { return true; }, nullptr),
            ReduceStatus::Ok);
  EXPECT_EQ(palette_.built, 1);
  EXPECT_NE(colorMap.data(), nullptr);
  FreeReducedImagePixels(reduced);
}

}  // namespace
