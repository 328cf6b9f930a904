// The median-cut palette: sampling, cutting, averaging, and the two palette reorderings.
#include "reduce/median_cut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <vector>

#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/box_cut.h"

namespace {

using Rgba = std::array<int, 4>;
using Colors = std::vector<Rgba>;
using Runs = std::vector<std::pair<Rgba, int>>;  // colours left to right, each repeated

Colors PaletteColors(int32_t count) {
  Colors colors;
  for (int32_t i = 0; i < count; ++i) {
    const PaletteEntry& e = Palette.entries[i];
    colors.push_back({e.red, e.green, e.blue, e.alpha});
  }
  return colors;
}
Colors MapColors(const AColorHistEntry* map, int32_t count) {
  Colors colors;
  for (int32_t i = 0; i < count; ++i) colors.push_back({map[i].red, map[i].green, map[i].blue, map[i].alpha});
  return colors;
}

class MedianCut : public testing::Test {
 protected:
  void SetUp() override {
    SaveOptions = SaveOptionsRecord{};
    SaveOptions.alphaChannel = SaveOptions.useKeyColor = 0;
    // Recognisable leftovers: a build touches no entry past those it makes. No entry is locked.
    for (int i = 0; i < 256; ++i) Palette.entries[i] = {uint8_t(i), 1, 2, 3, 0};
    Palette.count = 77;
    Palette.builtCount = 256;
  }
  void TearDown() override {
    ColorMap.Reset();
    WholeImage = WholeImageRecord{};
  }
  void UseImage(int32_t width, int32_t height, int32_t planes, std::vector<uint8_t> pixels, int32_t minAlpha = 500) {
    pixels_ = std::move(pixels);
    WholeImage = WholeImageRecord{pixels_.data(), pixels_.size(), width, height, planes, width * planes, 3, minAlpha};
  }
  void UseRow(int32_t planes, const Runs& runs, int32_t minAlpha = 500) {
    std::vector<uint8_t> pixels;
    for (const auto& [color, repeats] : runs) {
      for (int r = 0; r < repeats; ++r) pixels.insert(pixels.end(), color.begin(), color.begin() + planes);
    }
    UseImage(static_cast<int32_t>(pixels.size()) / planes, 1, planes, pixels, minAlpha);
  }
  // Entries from `from` on are left as they were, and nothing was locked, so nothing is marked.
  void ExpectLeftoversFrom(int32_t from) {
    for (int i = 0; i < 256; ++i) {
      EXPECT_EQ(Palette.entries[i].mark, 0) << i;
      if (i >= from) {
        EXPECT_EQ(PaletteColors(256)[i], (Rgba{i, 1, 2, 3})) << i;
      }
    }
  }
  // The colour map of a new build, as many entries as it made.
  Colors BuiltMap() {
    ColorMapTable map = CreateColorPalette();
    return map ? MapColors(map.data(), Palette.count) : Colors{};
  }
  std::vector<uint8_t> pixels_;
};

struct BuildCase {
  const char* what;
  int32_t planes, alphaChannel, useKeyColor, paletteColors, fillColor, minAlpha;
  Runs runs;
  Colors palette;
  Colors map;  // empty: as the palette
};

TEST_F(MedianCut, BuildsExactPalettesForSmallImages) {
  const BuildCase cases[] = {
      {"one colour", 3, 0, 0, 256, 0, 500, {{{12, 34, 56}, 6}}, {{12, 34, 56, 255}}, {}},
      {"fewer colours than asked: one each, by pixel count",
       3,
       0,
       0,
       16,
       0,
       500,
       {{{0, 0, 200}, 1}, {{9, 8, 7}, 1}, {{250, 1, 1}, 4}, {{9, 8, 7}, 1}, {{0, 250, 0}, 3}},
       {{250, 1, 1, 255}, {0, 250, 0, 255}, {9, 8, 7, 255}, {0, 0, 200, 255}},
       {}},
      {"red range ties green: cut on red",
       3,
       0,
       0,
       2,
       0,
       500,
       {{{100, 0, 0}, 1}, {{0, 100, 0}, 1}, {{50, 50, 0}, 1}},
       {{75, 25, 0, 255}, {0, 100, 0, 255}},
       {}},
      {"green range ties blue: cut on green",
       3,
       0,
       0,
       2,
       0,
       500,
       {{{0, 100, 0}, 1}, {{0, 0, 100}, 1}, {{0, 50, 50}, 1}},
       {{0, 75, 25, 255}, {0, 0, 100, 255}},
       {}},
      {"blue widest",
       3,
       0,
       0,
       2,
       0,
       500,
       {{{0, 0, 100}, 1}, {{90, 0, 0}, 1}, {{45, 0, 50}, 1}},
       {{22, 0, 75, 255}, {90, 0, 0, 255}},
       {}},
      {"cut at the pixel median, pixel-weighted means",
       3,
       0,
       0,
       2,
       0,
       500,
       {{{200, 0, 0}, 3}, {{10, 0, 0}, 3}, {{100, 0, 0}, 2}, {{50, 0, 0}, 1}},
       {{160, 0, 0, 255}, {20, 0, 0, 255}},
       {}},
      {"the heaviest last colour is never swallowed; means truncate",
       3,
       0,
       0,
       2,
       0,
       500,
       {{{30, 0, 0}, 8}, {{10, 0, 0}, 1}, {{21, 0, 0}, 1}},
       {{30, 0, 0, 255}, {15, 0, 0, 255}},
       {}},
      {"transparent pixels weigh the first cut, not the colours",
       4,
       0,
       1,
       2,
       0,
       0,
       {{{0, 0, 0, 255}, 1}, {{255, 255, 255, 0}, 3}, {{100, 0, 0, 255}, 1}, {{200, 0, 0, 255}, 1}},
       {{200, 0, 0, 255}, {50, 0, 0, 255}},
       {}},
      {"alpha channel: the last entry shows MinAlpha, its match keeps the mean",
       4,
       1,
       0,
       2,
       0,
       0,
       {{{0, 0, 0, 255}, 1}, {{255, 255, 255, 0}, 3}, {{100, 0, 0, 255}, 1}, {{200, 0, 0, 255}, 1}},
       {{200, 0, 0, 255}, {50, 0, 0, 0}},
       {{200, 0, 0, 255}, {50, 0, 0, 255}}},
      // Single-precision fractions, double products: 128 over 128 at alpha 65 gives 127 (127.99 in single
      // precision) and 10 over 10 at alpha 5 stays 10 (9.99 with unrounded fractions).
      {"composited over the fill colour",
       4,
       0,
       0,
       256,
       0x000A80,
       0,
       {{{50, 60, 70, 255}, 1}, {{128, 10, 200, 65}, 4}, {{50, 60, 70, 0}, 2}, {{128, 10, 200, 5}, 3}},
       {{127, 9, 50, 255}, {128, 10, 3, 255}, {128, 10, 0, 255}, {50, 60, 70, 255}},
       {}},
      {"alpha channel: by decreasing alpha, ties keep their order",
       4,
       1,
       0,
       256,
       0,
       50,
       {{{1, 0, 0, 100}, 4}, {{2, 0, 0, 255}, 3}, {{3, 0, 0, 50}, 2}, {{4, 0, 0, 200}, 1}},
       {{2, 0, 0, 255}, {1, 0, 0, 100}, {3, 0, 0, 50}, {4, 0, 0, 50}},
       {{2, 0, 0, 255}, {1, 0, 0, 100}, {3, 0, 0, 50}, {4, 0, 0, 200}}},
      {"alpha channel, opaque image: MinAlpha 256 gives alpha 0",
       4,
       1,
       0,
       256,
       0,
       256,
       {{{9, 9, 9, 255}, 2}, {{1, 1, 1, 255}, 1}},
       {{9, 9, 9, 255}, {1, 1, 1, 0}},
       {{9, 9, 9, 255}, {1, 1, 1, 255}}},
      {"all transparent, alpha channel: one transparent entry",
       4,
       1,
       0,
       256,
       0,
       0,
       {{{10, 20, 30, 0}, 3}, {{200, 0, 0, 0}, 2}},
       {{0, 0, 0, 0}},
       {}},
      {"all transparent, key colour: one transparent entry",
       4,
       0,
       1,
       256,
       0,
       0,
       {{{10, 20, 30, 0}, 3}},
       {{0, 0, 0, 0}},
       {}},
      {"colour count below 2 asks for 2",
       3,
       0,
       0,
       -7,
       0,
       500,
       {{{10, 0, 0}, 5}, {{60, 0, 0}, 4}, {{110, 0, 0}, 3}, {{160, 0, 0}, 2}, {{210, 0, 0}, 1}},
       {{32, 0, 0, 255}, {143, 0, 0, 255}},
       {}},
      {"colour count 3 asks for 4",
       3,
       0,
       0,
       3,
       0,
       500,
       {{{10, 0, 0}, 5}, {{60, 0, 0}, 4}, {{110, 0, 0}, 3}, {{160, 0, 0}, 2}, {{210, 0, 0}, 1}},
       {{10, 0, 0, 255}, {60, 0, 0, 255}, {110, 0, 0, 255}, {176, 0, 0, 255}},
       {}},
      {"colour count above 256 asks for 256",
       3,
       0,
       0,
       100000,
       0,
       500,
       {{{210, 0, 0}, 1}, {{60, 0, 0}, 4}, {{110, 0, 0}, 3}, {{10, 0, 0}, 5}, {{160, 0, 0}, 2}},
       {{10, 0, 0, 255}, {60, 0, 0, 255}, {110, 0, 0, 255}, {160, 0, 0, 255}, {210, 0, 0, 255}},
       {}},
  };
  for (const BuildCase& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    SaveOptions.alphaChannel = static_cast<int8_t>(c.alphaChannel);
    SaveOptions.useKeyColor = static_cast<int8_t>(c.useKeyColor);
    SaveOptions.paletteColors = c.paletteColors;
    SaveOptions.fillColor = c.fillColor;
    UseRow(c.planes, c.runs, c.minAlpha);
    ColorMapTable map = CreateColorPalette();
    ASSERT_NE(map.data(), nullptr);
    const int32_t count = static_cast<int32_t>(c.palette.size());
    EXPECT_EQ(Palette.count, count);
    EXPECT_EQ(Palette.builtCount, count);
    EXPECT_EQ(PaletteColors(count), c.palette);
    EXPECT_EQ(MapColors(map.data(), count), c.map.empty() ? c.palette : c.map);
    ExpectLeftoversFrom(count);
  }
}

TEST_F(MedianCut, RefusesImagesItCannotSample) {
  for (const auto& [width, height, planes] : {std::array<int, 3>{2, 1, 1}, {1, 1, 2}, {0, 4, 3}, {4, 0, 4}}) {
    UseImage(width, height, planes, std::vector<uint8_t>(width * height * planes, 9));
    EXPECT_EQ(CreateColorPalette().data(), nullptr) << width << "x" << height << "x" << planes;
  }
  EXPECT_EQ(Palette.count, 77);
  EXPECT_EQ(Palette.builtCount, 256);
  ExpectLeftoversFrom(0);
}

TEST_F(MedianCut, SamplesAtMost500By500NearestPixels) {
  // 1000 x 250 reads the even columns only; 3 x 1000 the even rows only.
  std::vector<uint8_t> pixels;
  for (int i = 0; i < 1000 * 250; ++i) pixels.insert(pixels.end(), {uint8_t(i % 2 == 0 ? 40 : 200), 2, 3});
  UseImage(1000, 250, 3, pixels);
  EXPECT_EQ(BuiltMap(), (Colors{{40, 2, 3, 255}}));
  pixels.clear();
  for (int i = 0; i < 3 * 1000; ++i) pixels.insert(pixels.end(), {1, uint8_t(i / 3 % 2 == 0 ? 90 : 10), 3});
  UseImage(3, 1000, 3, pixels);
  EXPECT_EQ(BuiltMap(), (Colors{{1, 90, 3, 255}}));
  // 1234 wide: step 2.468 in single precision; sample column 250 reads 616 (617 with a single-precision product).
  pixels.assign(1234 * 3, 7);
  pixels[616 * 3] = pixels[617 * 3 + 1] = 250;
  UseImage(1234, 1, 3, pixels);
  EXPECT_EQ(BuiltMap(), (Colors{{7, 7, 7, 255}, {250, 7, 7, 255}}));
}

TEST_F(MedianCut, TooManyColoursCoarsenTheSampleAndScaleBack) {
  // 50000 distinct colours, more than can be counted, then 200000 pixels of (253, 130, 129). Halving leaves
  // 12500 + 1 colours and (126, 65, 64) alone in the upper box; v -> (v * 255 + 63) / 127 scales it back.
  std::vector<uint8_t> pixels;
  for (int i = 0; i < 50000; ++i) pixels.insert(pixels.end(), {uint8_t(i % 250), uint8_t(i / 250), 0});
  for (int i = 50000; i < 500 * 500; ++i) pixels.insert(pixels.end(), {253, 130, 129});
  UseImage(500, 500, 3, pixels);
  SaveOptions.paletteColors = 2;
  const Colors map = BuiltMap();
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map[0], (Rgba{253, 131, 129, 255}));  // alpha 255 -> 127 -> 255
  EXPECT_EQ(PaletteColors(1), (Colors{{253, 131, 129, 255}}));
}

// The index of the first of `count` palette entries with this colour, or -1.
int IndexOf(const Rgba& color, int32_t count) {
  const Colors colors = PaletteColors(count);
  for (int32_t i = 0; i < count; ++i) {
    if (colors[i] == color) return i;
  }
  return -1;
}

TEST_F(MedianCut, LockedColoursSurviveARebuildInTheNearestNewEntries) {
  // Four colours of ten pixels each; at two colours the cut (on red first) gives (0, 127, 127) and
  // (255, 127, 127), in that order.
  UseRow(3, {{{255, 0, 0, 255}, 10}, {{0, 255, 0, 255}, 10}, {{0, 0, 255, 255}, 10}, {{255, 255, 255, 255}, 10}});
  SaveOptions.paletteColors = 4;
  ASSERT_EQ(BuiltMap().size(), 4u);
  const int blue = IndexOf({0, 0, 255, 255}, 4);
  const int white = IndexOf({255, 255, 255, 255}, 4);
  ASSERT_GE(blue, 0);
  ASSERT_GE(white, 0);
  // The user gave the blue entry a colour of their own and locked it, and locked the white one as it is.
  Palette.entries[blue] = PaletteEntry{10, 20, 200, 255, 1};
  Palette.entries[white].mark = 1;

  SaveOptions.paletteColors = 2;
  const Colors map = BuiltMap();
  ASSERT_EQ(Palette.count, 2);
  // Each takes the place of the new colour nearest to it, in the palette and in the colour map alike.
  EXPECT_EQ(PaletteColors(2), (Colors{{10, 20, 200, 255}, {255, 255, 255, 255}}));
  EXPECT_EQ(map, PaletteColors(2));
  EXPECT_EQ(Palette.entries[0].mark, 1);
  EXPECT_EQ(Palette.entries[1].mark, 1);
  for (int i = 2; i < 256; ++i) EXPECT_EQ(Palette.entries[i].mark, 0) << i;
}

TEST_F(MedianCut, WithMoreLocksThanColoursTheLowestIndicesWin) {
  UseRow(3, {{{255, 0, 0, 255}, 10}, {{0, 255, 0, 255}, 10}, {{0, 0, 255, 255}, 10}, {{255, 255, 255, 255}, 10}});
  SaveOptions.paletteColors = 4;
  ASSERT_EQ(BuiltMap().size(), 4u);
  for (int i = 0; i < 3; ++i) Palette.entries[i].mark = 1;
  const Colors locked = {PaletteColors(3)[0], PaletteColors(3)[1]};
  const Rgba dropped = PaletteColors(3)[2];

  SaveOptions.paletteColors = 2;
  BuiltMap();
  ASSERT_EQ(Palette.count, 2);
  Colors kept = PaletteColors(2);
  std::sort(kept.begin(), kept.end());
  Colors expected = locked;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(kept, expected);
  EXPECT_EQ(IndexOf(dropped, 2), -1);
  EXPECT_EQ(Palette.entries[0].mark + Palette.entries[1].mark, 2);
}

TEST_F(MedianCut, ALockNeverTakesTheEntryKeptForTransparency) {
  // Opaque red, green and blue and clear pixels, with the key colour: the last entry in use becomes the key.
  UseRow(4, {{{255, 0, 0, 255}, 10}, {{0, 255, 0, 255}, 10}, {{0, 0, 255, 255}, 10}, {{9, 9, 9, 0}, 10}}, 0);
  SaveOptions.useKeyColor = 1;
  SaveOptions.paletteColors = 4;
  ASSERT_EQ(BuiltMap().size(), 3u);
  Palette.entries[0].mark = Palette.entries[1].mark = 1;
  const Rgba first = PaletteColors(1)[0];

  SaveOptions.paletteColors = 2;
  BuiltMap();
  ASSERT_EQ(Palette.count, 2);
  EXPECT_EQ(PaletteColors(1)[0], first);  // the one slot there is, for the lowest locked index
  EXPECT_EQ(Palette.entries[0].mark, 1);
  EXPECT_EQ(Palette.entries[1].mark, 0);  // entry 1 is kept for the key
}

TEST_F(MedianCut, RandomImagesGiveBoundedRepeatablePalettes) {
  for (uint32_t seed = 1; seed <= 60 && !HasFailure(); ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const int32_t width = 1 + random() % 40, height = 1 + random() % 40, planes = 3 + random() % 2;
    const int levels = 2 + random() % 10;
    std::vector<uint8_t> pixels(width * height * planes);
    for (uint8_t& value : pixels) value = static_cast<uint8_t>(random() % levels * 255 / (levels - 1));
    SaveOptions.paletteColors = 1 << (1 + random() % 8);
    SaveOptions.alphaChannel = static_cast<int8_t>(random() % 2);
    SaveOptions.useKeyColor = static_cast<int8_t>(random() % 2);
    SaveOptions.fillColor = static_cast<int32_t>(random() & 0xFFFFFF);
    UseImage(width, height, planes, pixels, planes == 4 ? 0 : 500);

    ColorMapTable first = CreateColorPalette();
    ASSERT_NE(first.data(), nullptr);
    const int32_t count = Palette.count;
    const Colors palette = PaletteColors(256), map = MapColors(first.data(), count);
    EXPECT_GE(count, 1);
    EXPECT_LE(count, SaveOptions.paletteColors);
    EXPECT_LE(count, width * height);
    for (int32_t i = 1; SaveOptions.alphaChannel && i < count; ++i) EXPECT_GE(palette[i - 1][3], palette[i][3]) << i;
    ColorMapTable second = CreateColorPalette();
    ASSERT_NE(second.data(), nullptr);
    EXPECT_EQ(PaletteColors(256), palette);
    EXPECT_EQ(MapColors(second.data(), count), map);
  }
}

TEST(SplitColorBoxes, EqualSumsKeepTheirOrderAndMeansStayWithinTheTopLevel) {
  // Four colours of two pixels: every cut and every box sort meets equal sums. The spare entry stays zero.
  AColorHistEntry even[4] = {
      {10, 0, 0, 255, 0, 2}, {20, 0, 0, 255, 0, 2}, {30, 0, 0, 255, 0, 2}, {40, 0, 0, 255, 0, 2}};
  ColorMapTable map = SplitColorBoxes(even, 4, 8, 255, 4);
  ASSERT_NE(map.data(), nullptr);
  EXPECT_EQ(MapColors(map.data(), 5),
            (Colors{{30, 0, 0, 255}, {10, 0, 0, 255}, {20, 0, 0, 255}, {40, 0, 0, 255}, {0, 0, 0, 0}}));
  AColorHistEntry high[2] = {{200, 100, 0, 255, 0, 1}, {100, 50, 0, 120, 0, 1}};
  map = SplitColorBoxes(high, 2, 2, 127, 1);
  EXPECT_EQ(MapColors(map.data(), 1), (Colors{{127, 75, 0, 127}}));
}

class PaletteOrder : public MedianCut {
 protected:
  // Entry i: palette red i; its match red 100 + i, spare i (to follow it) and count 1000 + i (which stays).
  void SetUp() override {
    MedianCut::SetUp();
    ColorMap = ColorMapTable(257);
    map_ = ColorMap.data();
    for (int i = 0; i < 256; ++i) {
      Palette.entries[i] = {uint8_t(i), 0, 0, 255, 0};
      map_[i] = {uint8_t(100 + i), 0, 0, 255, uint8_t(i), 1000 + i};
    }
    WholeImage._WholePlanesIn = 4;
    SaveOptions.alphaChannel = 1;
  }
  void ExpectOrder(const std::vector<int>& origins) {
    for (size_t i = 0; i < origins.size(); ++i) {
      EXPECT_EQ(Palette.entries[i].red, origins[i]) << i;
      EXPECT_EQ(map_[i].spare, origins[i]) << i;
      EXPECT_EQ(map_[i].red, 100 + origins[i]) << i;
      EXPECT_EQ(map_[i].value, 1000 + static_cast<int>(i)) << i;
    }
  }
  AColorHistEntry* map_ = nullptr;  // the entries of ColorMap
};

TEST_F(PaletteOrder, SortByAlphaMovesBothTablesAndKeepsTies) {
  const uint8_t alphas[6] = {10, 200, 10, 255, 200, 255};
  for (int i = 0; i < 6; ++i) Palette.entries[i].alpha = alphas[i];
  Palette.entries[2].mark = 1;
  SortPaletteByAlpha(ColorMap, 5);
  ExpectOrder({3, 1, 4, 0, 2, 5});  // entry 5 is past the count
  EXPECT_EQ(Palette.entries[4].mark, 1);
}

TEST_F(PaletteOrder, FixupMakesTheLastEntryTransparentWhereTransparencyIsKept) {
  Palette.count = Palette.builtCount = 3;
  for (const auto& [planes, alphaChannel, keyColor, alpha] :
       {std::array<int, 4>{4, 1, 0, 0}, {4, 0, 1, 0}, {2, 1, 0, 0}, {4, 0, 0, 255}, {3, 1, 1, 255}}) {
    Palette.entries[2].alpha = map_[2].alpha = 255;
    WholeImage._WholePlanesIn = planes;
    SaveOptions.alphaChannel = static_cast<int8_t>(alphaChannel);
    SaveOptions.useKeyColor = static_cast<int8_t>(keyColor);
    FixupPalette();
    EXPECT_EQ(Palette.entries[2].alpha, alpha) << planes << alphaChannel << keyColor;
    EXPECT_EQ(map_[2].alpha, alpha) << planes << alphaChannel << keyColor;
    EXPECT_EQ(Palette.entries[1].alpha, 255);
  }
  Palette.entries[2].alpha = 255;
  ColorMap.Reset();  // without a colour map nothing happens
  FixupPalette();
  EXPECT_EQ(Palette.entries[2].alpha, 255);
}

TEST_F(PaletteOrder, FixupSwapsMarkedEntriesIntoRange) {
  // 3 of 6 in use, 4 and 5 marked; the transparent entry 2 is never replaced.
  Palette.count = 3;
  Palette.builtCount = 6;
  Palette.entries[4].mark = Palette.entries[5].mark = 1;
  FixupPalette();
  ExpectOrder({5, 4, 2, 3, 1, 0});

  // No transparency: the last entry in use may go, a marked one in range is passed over.
  SetUp();
  WholeImage._WholePlanesIn = 3;
  Palette.count = 3;
  Palette.builtCount = 5;
  Palette.entries[2].mark = Palette.entries[4].mark = 1;
  FixupPalette();
  ExpectOrder({0, 4, 2, 3, 1});

  // Every entry in range marked, or the only one in use transparent, or all built in use: nothing moves.
  for (const auto& [planes, count, built] : {std::array<int, 3>{3, 2, 4}, {4, 1, 3}, {3, 4, 4}}) {
    SetUp();
    WholeImage._WholePlanesIn = planes;
    Palette.count = count;
    Palette.builtCount = built;
    for (int i = 0; i < 4; ++i) Palette.entries[i].mark = planes == 3 && count == 2 ? 1 : i >= count;
    FixupPalette();
    ExpectOrder({0, 1, 2, 3});
  }
}

}  // namespace
