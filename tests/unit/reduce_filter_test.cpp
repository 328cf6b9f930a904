#include "reduce/reduce_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "base/callouts.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/median_cut.h"
#include "reduce/palette_lookup.h"
#include "tests/support/reduce_reference.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Rgba = std::array<uint8_t, 4>;

constexpr int32_t kGray = 1;
constexpr int32_t kIndexed = 2;
constexpr int32_t kRgb = 3;

int paletteViewRefreshes = 0;
void CountPaletteViewRefresh() { ++paletteViewRefreshes; }

// Every progress report, as (done, total) truncated the way the host and the dialog take them.
std::vector<std::pair<int32_t, int32_t>> progressSeen;
bool RecordProgress(double done, double total) {
  progressSeen.emplace_back(static_cast<int32_t>(done), static_cast<int32_t>(total));
  return true;
}

struct RandomCase;

class ReduceFilterTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }

  static void ResetAll() {
    WholeImage = WholeImageRecord{};  // its pixels belong to the test, never to the page allocator
    ResetSaveOptions();
    Palette = PaletteRecord{};
    ReleaseColorMap();
    FreeReducedImagePixels();
    ReducedImage = ReducedImageRecord{};
    Callouts = CalloutSlots{};
    progressSeen.clear();
    paletteViewRefreshes = 0;
  }

  void SetImage(int32_t mode, int32_t width, int32_t height, int32_t planes, Bytes pixels, int32_t minAlpha = 256) {
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * height * planes);
    image_ = std::move(pixels);
    WholeImage.pixels = image_.data();
    WholeImage.pixelBytes = image_.size();
    WholeImage._WholeWidth = width;
    WholeImage._WholeHeight = height;
    WholeImage._WholePlanesIn = planes;
    WholeImage.rowStride = width * planes;
    WholeImage._WholeMode = mode;
    WholeImage.MinAlpha = minAlpha;
  }

  static void SetOptions(int8_t type, bool alphaChannel, bool useKeyColor, uint8_t dither = kNoDither,
                         bool transparencyDither = false, int32_t fillColor = 0) {
    SaveOptions.pngType = type;
    SaveOptions.alphaChannel = alphaChannel ? 1 : 0;
    SaveOptions.useKeyColor = useKeyColor ? 1 : 0;
    SaveOptions.dither = dither;
    SaveOptions.keyColorDither = transparencyDither ? 1 : 0;
    SaveOptions.fillColor = fillColor;
    SaveOptions.paletteColors = 256;
  }

  // A palette that counts as built: the colour map and the palette hold the same colours.
  static void UseColorMap(const std::vector<Rgba>& colors) {
    ReleaseColorMap();
    ColorMap = ColorMapTable(static_cast<int32_t>(colors.size()) + 1);
    for (size_t i = 0; i < colors.size(); ++i) {
      ColorMap[i] = AColorHistEntry{colors[i][0], colors[i][1], colors[i][2], colors[i][3], 0, 0};
      Palette.entries[i] = PaletteEntry{colors[i][0], colors[i][1], colors[i][2], colors[i][3], 0};
    }
    Palette.count = static_cast<int32_t>(colors.size());
    Palette.builtCount = static_cast<int32_t>(colors.size());
    Palette.built = 1;
  }

  static Bytes Output() {
    const size_t bytes = static_cast<size_t>(WholeImage._WholeWidth) * WholeImage._WholeHeight *
                         static_cast<size_t>(ReducedImage.bytesPerPixel);
    if (ReducedImage.pixels == nullptr) return Bytes{};
    return Bytes(ReducedImage.pixels, ReducedImage.pixels + bytes);
  }

  static std::vector<Rgba> GrayRampMap() {
    std::vector<Rgba> colors;
    for (int i = 0; i < 256; ++i) colors.push_back(Rgba{uint8_t(i), uint8_t(i), uint8_t(i), 255});
    return colors;
  }

  // The image, options, colour table (indexed images, from `random`) and hand-made colour map of a random case.
  void LoadRandomCase(const RandomCase& c, std::mt19937& random);

  Bytes image_;
};

// ---- Conditions derived at the start of a run

TEST_F(ReduceFilterTest, SettingsGiveModesAndBytesPerPixel) {
  struct Case {
    int32_t mode, planes;
    int8_t type;
    bool alphaChannel, useKeyColor, transparencyDither;
    int32_t bytesPerPixel;
    bool alphaMode, keyColorMode, ditherAlpha;
  };
  const Case cases[] = {
      {kRgb, 4, kPngRgb, true, true, true, 4, true, false, true},  // alpha channel wins over the key colour
      {kRgb, 4, kPngRgb, false, true, true, 3, false, true, true},
      {kRgb, 4, kPngRgb, false, false, true, 3, false, false, false},  // neither mode: no transparency dither
      {kRgb, 3, kPngRgb, true, true, true, 3, false, false, false},
      {kRgb, 5, kPngGrayscale, true, false, false, 2, true, false, false},
      {kRgb, 3, kPngGrayscale, true, false, false, 1, false, false, false},
      {kRgb, 4, kPngPalette, true, false, false, 1, true, false, false},
      {kGray, 2, kPngGrayscale, true, false, false, 2, true, false, false},
      {kGray, 2, kPngRgb, true, false, false, 4, true, false, false},
      {kGray, 2, kPngPalette, true, true, true, 1, false, false, false},  // gray as Palette has no alpha plane
      {kGray, 3, kPngGrayscale, true, false, false, 1, false, false, false},
      {kIndexed, 1, kPngRgb, true, true, true, 3, false, false, false},
      {kIndexed, 2, kPngGrayscale, true, false, false, 2, true, false, false},
  };
  for (const Case& c : cases) {
    WholeImageRecord image;
    image._WholeMode = c.mode;
    image._WholePlanesIn = c.planes;
    SaveOptionsRecord options;
    options.pngType = c.type;
    options.alphaChannel = c.alphaChannel;
    options.useKeyColor = c.useKeyColor;
    options.keyColorDither = c.transparencyDither;
    const FilterSettings settings = FilterSettingsFor(image, options);
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " planes " << c.planes << " type " << int(c.type)
                                      << " alpha " << c.alphaChannel << " key " << c.useKeyColor);
    EXPECT_EQ(settings.bytesPerPixel, c.bytesPerPixel);
    EXPECT_EQ(settings.alphaMode, c.alphaMode);
    EXPECT_EQ(settings.keyColorMode, c.keyColorMode);
    EXPECT_EQ(settings.transparencyDither, c.ditherAlpha);
  }
}

TEST_F(ReduceFilterTest, SettingsBringStoredOptionsIntoRangeAndWorkOutTheFillGray) {
  WholeImageRecord image;
  image._WholeMode = kRgb;
  image._WholePlanesIn = 3;
  SaveOptionsRecord options;
  options.pngType = 7;
  options.dither = 9;
  options.paletteColors = 3;
  options.fillColor = 0x00332211;
  FilterSettings settings = FilterSettingsFor(image, options);
  EXPECT_EQ(settings.pngType, kPngRgb);
  EXPECT_EQ(settings.dither, kDiffusion);
  EXPECT_EQ(settings.paletteColors, 4);
  EXPECT_EQ(settings.fillRed, 0x11);
  EXPECT_EQ(settings.fillGreen, 0x22);
  EXPECT_EQ(settings.fillBlue, 0x33);
  EXPECT_EQ(settings.fillGray, 31);
  options.paletteColors = 1000;
  options.pngType = -1;
  EXPECT_EQ(FilterSettingsFor(image, options).paletteColors, 256);
  EXPECT_EQ(FilterSettingsFor(image, options).pngType, kPngRgb);
  options.fillColor = 0x00FFFFFF;
  EXPECT_EQ(FilterSettingsFor(image, options).fillGray, 255);
  options.fillColor = 0x000E0E0E;
  EXPECT_EQ(FilterSettingsFor(image, options).fillGray, 14);
}

// ---- RGB image

TEST_F(ReduceFilterTest, RgbAsRgbKeepsAlphaExactlyWithTheAlphaChannel) {
  SetImage(kRgb, 2, 1, 4, {10, 20, 30, 0, 200, 100, 7, 128}, 0);
  SetOptions(kPngRgb, true, true);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 4);
  EXPECT_EQ(ReducedImage.rowBytes, 8);
  EXPECT_EQ(Output(), (Bytes{10, 20, 30, 0, 200, 100, 7, 128}));
}

TEST_F(ReduceFilterTest, RgbAsRgbCompositesOverTheFillWithoutTheAlphaChannel) {
  SetImage(kRgb, 5, 1, 4, {200, 100, 7, 0, 200, 100, 7, 1, 200, 100, 7, 128, 200, 100, 7, 254, 200, 100, 7, 255}, 0);
  SetOptions(kPngRgb, false, true, kNoDither, false, 0x00332211);  // the key colour means nothing here
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 3);
  EXPECT_EQ(Output(), (Bytes{17, 34, 51, 17, 34, 50, 108, 67, 28, 199, 99, 7, 200, 100, 7}));
}

TEST_F(ReduceFilterTest, RgbAsRgbCopiesOtherPlaneCounts) {
  SetImage(kRgb, 2, 1, 3, {1, 2, 3, 4, 5, 6});
  SetOptions(kPngRgb, true, false);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 3);
  EXPECT_EQ(Output(), (Bytes{1, 2, 3, 4, 5, 6}));

  // Five planes: no compositing without the alpha channel; with it, alpha comes from plane 3.
  SetImage(kRgb, 2, 1, 5, {1, 2, 3, 0, 9, 4, 5, 6, 77, 9}, 0);
  SetOptions(kPngRgb, false, false, kNoDither, false, 0x00FFFFFF);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 2, 3, 4, 5, 6}));
  SetOptions(kPngRgb, true, false);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 4);
  EXPECT_EQ(Output(), (Bytes{1, 2, 3, 0, 4, 5, 6, 77}));
}

TEST_F(ReduceFilterTest, RgbAsGrayscale) {
  // Red's weight is the single-precision 0.2125: with the double 0.2125, 43,43,43 would give 42 and
  // 4,131,6 would give 94.
  SetImage(kRgb, 4, 1, 3, {43, 43, 43, 4, 131, 6, 255, 255, 255, 255, 0, 0});
  SetOptions(kPngGrayscale, true, true);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 1);
  EXPECT_EQ(Output(), (Bytes{43, 95, 255, 54}));

  SetImage(kRgb, 2, 1, 4, {43, 43, 43, 9, 4, 131, 6, 200}, 9);
  SetOptions(kPngGrayscale, true, false);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 2);
  EXPECT_EQ(Output(), (Bytes{43, 9, 95, 200}));

  // Over FillGray 14 in double: alpha 85 over gray 50 gives 25 (rounding the fill term first would give 26).
  SetImage(kRgb, 4, 1, 4, {50, 50, 50, 85, 43, 43, 43, 128, 43, 43, 43, 0, 43, 43, 43, 255}, 0);
  SetOptions(kPngGrayscale, false, true, kNoDither, false, 0x000E0E0E);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 1);
  EXPECT_EQ(Output(), (Bytes{25, 28, 14, 43}));

  SetImage(kRgb, 1, 1, 5, {4, 131, 6, 33, 1}, 33);
  SetOptions(kPngGrayscale, true, false);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{95, 33}));
}

TEST_F(ReduceFilterTest, FillColorShowsExactlyWhenTheFillChangesThePixels) {
  struct Image {
    int32_t mode;
    int32_t planes;
  };
  // Four pixels of alpha 0, 100, 200 and 255 wherever there is an alpha plane; an indexed image's entry 1 is
  // its transparent index, and pixel 0 uses it.
  for (const Image image : {Image{kGray, 1}, Image{kGray, 2}, Image{kIndexed, 1}, Image{kIndexed, 2}, Image{kRgb, 3},
                            Image{kRgb, 4}, Image{kRgb, 5}}) {
    Bytes pixels;
    const uint8_t alphas[4] = {0, 100, 200, 255};
    for (int x = 0; x < 4; ++x) {
      for (int p = 0; p < image.planes; ++p) {
        const bool alphaPlane = (image.mode == kRgb && p == 3) || (image.mode != kRgb && p == 1);
        pixels.push_back(alphaPlane ? alphas[x] : static_cast<uint8_t>(image.mode == kIndexed ? x : 30 + 50 * x + p));
      }
    }
    for (const int8_t type : {kPngGrayscale, kPngPalette, kPngRgb}) {
      for (const bool alphaChannel : {false, true}) {
        for (const bool useKeyColor : {false, true}) {
          Bytes outputs[2];
          for (int fill = 0; fill < 2; ++fill) {
            SetImage(image.mode, 4, 1, image.planes, pixels, image.planes == 1 || image.planes == 3 ? 500 : 0);
            Palette = PaletteRecord{};
            Palette.count = 256;
            for (int i = 0; i < 256; ++i) Palette.entries[i] = PaletteEntry{uint8_t(i), uint8_t(9 * i), 77, 255, 0};
            if (image.mode == kIndexed) Palette.entries[1].alpha = 0;
            ReleaseColorMap();
            SetOptions(type, alphaChannel, useKeyColor, kNoDither, false, fill == 0 ? 0 : 0x6496C8);
            DoFilter();
            outputs[fill] = Output();
          }
          const FilterSettings settings = FilterSettingsFor(WholeImage, SaveOptions);
          EXPECT_EQ(outputs[0] != outputs[1], FillColorShows(settings, image.mode == kIndexed))
              << "mode " << image.mode << ", planes " << image.planes << ", type " << int{type} << ", alpha channel "
              << alphaChannel << ", key colour " << useKeyColor;
        }
      }
    }
  }
}

// ---- Indexed image

TEST_F(ReduceFilterTest, IndexedImageThroughThePalette) {
  Palette.count = 256;
  Palette.entries[0] = PaletteEntry{43, 43, 43, 255, 0};
  Palette.entries[1] = PaletteEntry{4, 131, 6, 255, 0};
  Palette.entries[7] = PaletteEntry{255, 0, 0, 0, 0};
  SetImage(kIndexed, 3, 1, 1, {1, 7, 0});

  // Entry 7 is the host's transparent index: Grayscale and RGB files keep no transparency here, so its pixels
  // take the fill colour (black, gray 0), as transparent pixels of other images do.
  SetOptions(kPngGrayscale, true, true);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{95, 0, 43}));

  SetOptions(kPngPalette, true, true, kDiffusion, true);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 7, 0}));
  EXPECT_EQ(Palette.count, 256) << "an indexed image keeps the host's colour table";
  EXPECT_EQ(Palette.entries[7].alpha, 0);

  SetOptions(kPngRgb, true, true);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{4, 131, 6, 0, 0, 0, 43, 43, 43}));
  SaveOptions.fillColor = 0x0A1428;  // red 40, green 20, blue 10
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{4, 131, 6, 40, 20, 10, 43, 43, 43}));
  SetOptions(kPngGrayscale, true, true);
  SaveOptions.fillColor = 0x0A1428;
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{95, 23, 43}));  // 0.7154 x 20 + 0.2125 x 40 + 0.0721 x 10 = 23.5

  // With an alpha plane in alpha mode, the alpha byte comes from plane 1.
  SetImage(kIndexed, 2, 1, 2, {1, 200, 7, 0}, 0);
  SetOptions(kPngGrayscale, true, false);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{95, 200, 54, 0}));
  SetOptions(kPngRgb, true, false);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{4, 131, 6, 200, 255, 0, 0, 0}));
}

// ---- Gray image

TEST_F(ReduceFilterTest, GrayAsGrayscale) {
  SetImage(kGray, 2, 1, 2, {50, 85, 7, 0}, 0);
  SetOptions(kPngGrayscale, true, false);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 2);
  EXPECT_EQ(Output(), (Bytes{50, 85, 7, 0}));

  // The fill term is rounded to single precision first: alpha 85 over gray 50 on FillGray 14 gives 26.
  SetImage(kGray, 3, 1, 2, {50, 85, 50, 0, 50, 255}, 0);
  SetOptions(kPngGrayscale, false, true, kNoDither, false, 0x000E0E0E);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 1);
  EXPECT_EQ(Output(), (Bytes{26, 14, 50}));

  SetImage(kGray, 2, 1, 1, {50, 9});
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{50, 9}));

  // More than two planes in alpha mode: alpha from plane 1.
  SetImage(kGray, 1, 1, 4, {50, 60, 70, 80}, 60);
  SetOptions(kPngGrayscale, true, false);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{50, 60}));
}

TEST_F(ReduceFilterTest, GrayAsPaletteIsItsOwnIndexOverTheGrayRamp) {
  for (int i = 0; i < 256; ++i) Palette.entries[i] = PaletteEntry{1, 2, 3, 4, 1};
  Callouts.paletteViewRefresh = CountPaletteViewRefresh;
  SetImage(kGray, 3, 1, 2, {50, 85, 50, 0, 50, 255}, 0);
  SetOptions(kPngPalette, true, true, kDiffusion, true, 0x000E0E0E);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 1);
  EXPECT_EQ(Output(), (Bytes{25, 14, 50})) << "composited in double, without the single-precision fill term";
  EXPECT_EQ(Palette.count, 256);
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = Palette.entries[i];
    ASSERT_EQ(entry.red, i);
    ASSERT_EQ(entry.green, i);
    ASSERT_EQ(entry.blue, i);
    ASSERT_EQ(entry.alpha, 255);
    ASSERT_EQ(entry.mark, 0);
  }
  EXPECT_EQ(paletteViewRefreshes, 1);

  // One plane, or more than two: the gray value itself.
  SetImage(kGray, 2, 1, 1, {0, 200});
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{0, 200}));
  SetImage(kGray, 1, 1, 4, {77, 0, 0, 0}, 0);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{77}));
}

TEST_F(ReduceFilterTest, GrayAsRgb) {
  SetImage(kGray, 2, 1, 2, {50, 85, 7, 0}, 0);
  SetOptions(kPngRgb, true, false);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 4);
  EXPECT_EQ(Output(), (Bytes{50, 50, 50, 85, 7, 7, 7, 0}));

  SetOptions(kPngRgb, false, false, kNoDither, false, 0x000E0E0E);
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 3);
  EXPECT_EQ(Output(), (Bytes{26, 26, 26, 14, 14, 14}));

  SetImage(kGray, 1, 1, 1, {123});
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{123, 123, 123}));
}

TEST_F(ReduceFilterTest, OtherImageModesWriteNothing) {
  SetImage(kRgb, 2, 1, 3, {1, 2, 3, 4, 5, 6});
  SetOptions(kPngRgb, false, false);
  DoFilter();
  ASSERT_EQ(Output(), (Bytes{1, 2, 3, 4, 5, 6}));
  SetImage(4, 2, 1, 3, {9, 9, 9, 9, 9, 9});
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 2, 3, 4, 5, 6}));
  // An RGB image needs three planes; with fewer nothing is read past a pixel.
  SetImage(kRgb, 2, 1, 2, {9, 9, 9, 9}, 9);
  SetOptions(kPngRgb, false, false);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 2, 3, 4, 5, 6}));
}

// ---- Palette mapping of an RGB image

TEST_F(ReduceFilterTest, PaletteWithoutAlphaPlaneSearchesEveryEntry) {
  SetImage(kRgb, 2, 1, 3, {240, 240, 240, 10, 10, 10});
  SetOptions(kPngPalette, false, true);
  UseColorMap({{0, 0, 0, 255}, {250, 250, 250, 255}});
  Callouts.paletteViewRefresh = CountPaletteViewRefresh;
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 0}));
  EXPECT_EQ(Palette.count, 2);
  EXPECT_EQ(Palette.entries[1].alpha, 255) << "no transparent entry without an alpha plane";
  EXPECT_EQ(paletteViewRefreshes, 1);
}

TEST_F(ReduceFilterTest, KeyColourModeSendsLowAlphaAndTheLowestAlphaToTheLastEntry) {
  const std::vector<Rgba> colors = {{255, 0, 0, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}};
  SetImage(kRgb, 4, 1, 4, {255, 0, 0, 126, 255, 0, 0, 127, 0, 0, 255, 0, 0, 0, 255, 255}, 0);
  SetOptions(kPngPalette, false, true);
  UseColorMap(colors);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{2, 0, 2, 1}));
  EXPECT_EQ(Palette.entries[2].alpha, 0) << "the last entry in use is the transparent key entry";
  EXPECT_EQ(ColorMap[2].alpha, 0);

  // The lowest alpha goes to the key entry even at 127 or more.
  SetImage(kRgb, 3, 1, 4, {255, 0, 0, 200, 255, 0, 0, 201, 0, 0, 255, 200}, 200);
  UseColorMap(colors);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{2, 0, 2}));
}

TEST_F(ReduceFilterTest, AlphaModeKeepsTheLastEntryInTheSearchFromMinAlpha100) {
  // At a lowest alpha of 100 exactly, the transparent entry is searched like the others.
  const std::vector<Rgba> colors = {{255, 0, 0, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}};
  // 0,250,0,200 is nearest to the last entry (made transparent: distance 40025) and equally far (130550)
  // from entries 0 and 1.
  SetImage(kRgb, 3, 1, 4, {0, 250, 0, 200, 255, 0, 0, 100, 255, 0, 0, 101}, 100);
  SetOptions(kPngPalette, true, false);
  UseColorMap(colors);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{2, 2, 0}));
  EXPECT_EQ(ColorMap[2].alpha, 0);

  // Below 100 the transparent entry is reached only by the lowest alpha; the tie goes to the lower index.
  SetImage(kRgb, 3, 1, 4, {0, 250, 0, 200, 255, 0, 0, 50, 255, 0, 0, 51}, 50);
  UseColorMap(colors);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{0, 2, 0}));
}

TEST_F(ReduceFilterTest, NothingToSearchGivesTheLastEntry) {
  SetImage(kRgb, 2, 1, 4, {255, 255, 255, 255, 0, 0, 0, 200}, 200);
  SetOptions(kPngPalette, false, true);
  UseColorMap({{255, 255, 255, 255}});
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{0, 0}));

  SetImage(kRgb, 2, 1, 4, {255, 255, 255, 255, 0, 0, 0, 20}, 20);
  SetOptions(kPngPalette, true, false, kNoise, true);
  UseColorMap({{255, 255, 255, 255}});
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{0, 0}));
}

TEST_F(ReduceFilterTest, MissingColourMapLeavesTheBufferAsItWas) {
  SetImage(kRgb, 2, 1, 3, {240, 240, 240, 10, 10, 10});
  SetOptions(kPngPalette, false, false);
  UseColorMap({{0, 0, 0, 255}, {250, 250, 250, 255}});
  DoFilter();
  ASSERT_EQ(Output(), (Bytes{1, 0}));

  ReleaseColorMap();  // still marked built: nothing to match against
  SetImage(kRgb, 2, 1, 3, {10, 10, 10, 240, 240, 240});
  Callouts.progress = RecordProgress;
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 0}));
  EXPECT_TRUE(progressSeen.empty());

  // A palette that cannot be built (an RGB image of two planes) ends the same way.
  Palette.built = 0;
  SetImage(kRgb, 2, 1, 2, {10, 10, 240, 240}, 10);
  DoFilter();
  EXPECT_EQ(ColorMap.data(), nullptr);
  EXPECT_EQ(Output(), (Bytes{1, 0}));
  EXPECT_TRUE(progressSeen.empty());
}

TEST_F(ReduceFilterTest, PaletteCountIsTheBuiltCountLimitedByTheColourCount) {
  SetImage(kRgb, 4, 1, 3, {0, 0, 0, 80, 80, 80, 170, 170, 170, 255, 255, 255});
  SetOptions(kPngPalette, false, false);
  UseColorMap({{0, 0, 0, 255}, {255, 255, 255, 255}, {80, 80, 80, 255}, {170, 170, 170, 255}});
  Palette.count = 1;
  DoFilter();
  EXPECT_EQ(Palette.count, 4);
  EXPECT_EQ(Output(), (Bytes{0, 2, 3, 1}));

  SaveOptions.paletteColors = 2;
  DoFilter();
  EXPECT_EQ(Palette.count, 2);
  EXPECT_EQ(Output(), (Bytes{0, 0, 1, 1}));

  SaveOptions.paletteColors = 3;  // becomes 4
  DoFilter();
  EXPECT_EQ(Palette.count, 4);
  SaveOptions.paletteColors = -5;  // becomes 2
  DoFilter();
  EXPECT_EQ(Palette.count, 2);
}

TEST_F(ReduceFilterTest, BuildsAPaletteOfExactlyTheImagesColours) {
  SetImage(kRgb, 4, 2, 3, {10, 20, 30, 200, 0, 0, 0, 200, 0, 9, 9, 9, 10, 20, 30, 9, 9, 9, 0, 200, 0, 200, 0, 0});
  SetOptions(kPngPalette, false, false);
  SaveOptions.paletteColors = 16;
  DoFilter();
  ASSERT_EQ(Palette.built, 1);
  ASSERT_NE(ColorMap.data(), nullptr);
  EXPECT_EQ(Palette.count, 4);
  const Bytes indices = Output();
  ASSERT_EQ(indices.size(), 8u);
  for (size_t i = 0; i < indices.size(); ++i) {
    ASSERT_LT(indices[i], 4);
    const PaletteEntry& entry = Palette.entries[indices[i]];
    EXPECT_EQ(entry.red, image_[i * 3]);
    EXPECT_EQ(entry.green, image_[i * 3 + 1]);
    EXPECT_EQ(entry.blue, image_[i * 3 + 2]);
  }
}

TEST_F(ReduceFilterTest, PatternAndNoiseThroughTheFilter) {
  const int kSize = 8;
  SetImage(kRgb, kSize, kSize, 3, Bytes(kSize * kSize * 3, 128));
  SetOptions(kPngPalette, false, false, kPattern);
  UseColorMap(GrayRampMap());
  DoFilter();
  const int matrix[8] = {1, 33, 9, 41, 3, 35, 11, 43};  // first row of the ordered matrix
  const Bytes indices = Output();
  for (int x = 0; x < 8; ++x) EXPECT_EQ(indices[x], 96 + matrix[x]);
  EXPECT_EQ(indices[8 * 7], 160);

  // Noise: draws 38, 7719, 21238 move 100,100,100 to 90,91,106, whose nearest gray is 96.
  SetImage(kRgb, 1, 1, 3, {100, 100, 100});
  SetOptions(kPngPalette, false, false, kNoise);
  UseColorMap(GrayRampMap());
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{96}));
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{96})) << "every run starts the generator afresh";
}

TEST_F(ReduceFilterTest, DiffusionDownAOnePixelWideImage) {
  // 100 → black (error +100, q 31); 131 → white (error -124, q -39); 61 → black.
  SetImage(kRgb, 1, 3, 3, Bytes(9, 100));
  SetOptions(kPngPalette, false, false, kDiffusion);
  UseColorMap({{0, 0, 0, 255}, {255, 255, 255, 255}});
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{0, 1, 0}));
}

TEST_F(ReduceFilterTest, KeyColourDiffusionCarriesAlphaToTheRight) {
  const std::vector<Rgba> colors = {{255, 0, 0, 255}, {255, 0, 0, 255}};
  // A clear pixel passes -64: 180 becomes 116 and turns transparent.
  SetImage(kRgb, 2, 1, 4, {255, 0, 0, 0, 255, 0, 0, 180}, 0);
  SetOptions(kPngPalette, false, true, kDiffusion, true);
  UseColorMap(colors);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 1}));
  SaveOptions.keyColorDither = 0;
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{1, 0}));

  // An opaque pixel passes +64: 70 becomes 134 and is matched.
  SetImage(kRgb, 2, 1, 4, {255, 0, 0, 255, 255, 0, 0, 70}, 70);
  SetOptions(kPngPalette, false, true, kDiffusion, true);
  UseColorMap(colors);
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{0, 0}));
  SaveOptions.keyColorDither = 0;
  DoFilter();
  EXPECT_EQ(Output(), (Bytes{0, 1}));
}

// ---- The buffer and progress

TEST_F(ReduceFilterTest, BufferIsReusedUntilThePixelSizeOrTheImageChanges) {
  SetImage(kRgb, 2, 2, 4, {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255}, 256);
  SetOptions(kPngRgb, false, false);
  DoFilter();
  ASSERT_NE(ReducedImage.pixels, nullptr);
  EXPECT_EQ(ReducedImage.bytesPerPixel, 3);
  EXPECT_EQ(ReducedImage.rowBytes, 6);
  EXPECT_EQ(ReducedImage.pixelBytes, 24u) << "two spare rows";
  for (size_t i = 12; i < 24; ++i) EXPECT_EQ(ReducedImage.pixels[i], 0) << "zero-filled";
  std::memset(ReducedImage.pixels + 12, 0xAB, 12);

  image_[0] = 99;
  DoFilter();
  EXPECT_EQ(ReducedImage.pixels[0], 99);
  EXPECT_EQ(ReducedImage.pixels[12], 0xAB) << "same pixel size: the buffer is kept";

  SaveOptions.alphaChannel = 1;
  DoFilter();
  EXPECT_EQ(ReducedImage.bytesPerPixel, 4);
  EXPECT_EQ(ReducedImage.rowBytes, 8);
  EXPECT_EQ(ReducedImage.pixelBytes, 32u);
  for (size_t i = 16; i < 32; ++i) EXPECT_EQ(ReducedImage.pixels[i], 0) << "a new buffer for a new pixel size";
  std::memset(ReducedImage.pixels + 16, 0xAB, 16);

  // A different image with the same pixel size must not be written into the old image's buffer.
  SetImage(kRgb, 3, 2, 4, Bytes(24, 255), 256);
  DoFilter();
  EXPECT_EQ(ReducedImage.rowBytes, 12);
  EXPECT_EQ(ReducedImage.pixelBytes, 48u);
  for (size_t i = 24; i < 48; ++i) EXPECT_EQ(ReducedImage.pixels[i], 0);
}

TEST_F(ReduceFilterTest, BufferThatCannotBeHadStopsTheRun) {
  WholeImage._WholeMode = kRgb;
  WholeImage._WholePlanesIn = 4;
  WholeImage._WholeWidth = 1 << 30;
  WholeImage._WholeHeight = 1 << 20;
  SetOptions(kPngRgb, true, false);
  Callouts.progress = RecordProgress;
  DoFilter();
  EXPECT_EQ(ReducedImage.pixels, nullptr);
  EXPECT_TRUE(progressSeen.empty());
}

TEST_F(ReduceFilterTest, ProgressReportsEachRowAgainstTwiceTheHeight) {
  SetImage(kRgb, 2, 3, 3, Bytes(18, 50));
  SetOptions(kPngPalette, false, false, kDiffusion);
  UseColorMap({{0, 0, 0, 255}, {255, 255, 255, 255}});
  Callouts.progress = RecordProgress;
  DoFilter();
  ASSERT_EQ(progressSeen.size(), 3u);
  for (int32_t y = 0; y < 3; ++y) {
    EXPECT_EQ(progressSeen[y].first, y);
    EXPECT_EQ(progressSeen[y].second, 6);
  }

  progressSeen.clear();
  SetOptions(kPngGrayscale, false, false);
  DoFilter();
  EXPECT_EQ(progressSeen.size(), 3u);
}

// ---- Nearest colour

TEST(PaletteLookupTest, EqualDistancesGoToTheLowerIndex) {
  const AColorHistEntry pair[2] = {{10, 0, 0, 255, 0, 0}, {30, 0, 0, 255, 0, 0}};
  const AColorHistEntry swapped[2] = {pair[1], pair[0]};
  EXPECT_EQ(NearestColorIndex(pair, 2, 20, 0, 0, 255), 0);
  EXPECT_EQ(NearestColorIndex(swapped, 2, 20, 0, 0, 255), 0);
  PaletteLookup lookup(swapped, 2);
  EXPECT_EQ(lookup.Find(20, 0, 0, 255), 0);
  EXPECT_EQ(lookup.Find(21, 0, 0, 255), 0);
  EXPECT_EQ(lookup.Find(19, 0, 0, 255), 1);
  EXPECT_EQ(lookup.Find(20, 0, 0, 255), 0) << "answered again from the cache";

  // Ties far apart in the map, and entries past the search count.
  std::vector<AColorHistEntry> map(40, AColorHistEntry{200, 200, 200, 0, 0, 0});
  map[5] = AColorHistEntry{0, 0, 1, 255, 0, 0};
  map[37] = AColorHistEntry{0, 0, 0, 254, 0, 0};
  map[39] = AColorHistEntry{0, 0, 0, 255, 0, 0};
  EXPECT_EQ(NearestColorIndex(map.data(), 39, 0, 0, 0, 255), 5);
  EXPECT_EQ(PaletteLookup(map.data(), 39).Find(0, 0, 0, 255), 5);
  EXPECT_EQ(PaletteLookup(map.data(), 40).Find(0, 0, 0, 255), 39);
  EXPECT_EQ(PaletteLookup(map.data(), 4).Find(0, 0, 0, 255), 0);
  EXPECT_EQ(PaletteLookup(map.data(), 0).Find(0, 0, 0, 255), -1);
  EXPECT_EQ(NearestColorIndex(map.data(), 0, 0, 0, 0, 255), -1);
}

TEST(PaletteLookupTest, SameAnswersAsThePlainScanWithAndWithoutTheCache) {
  const uint32_t seed = 20240607;
  std::mt19937 random(seed);
  for (int round = 0; round < 60; ++round) {
    const int kind = round % 3;  // few levels (many ties), any colour, or a gray ramp with some jitter
    const int32_t count = 1 + static_cast<int32_t>(random() % 256);
    std::vector<AColorHistEntry> map(count + 1);
    for (int32_t i = 0; i <= count; ++i) {
      AColorHistEntry& entry = map[i];
      if (kind == 0) {
        entry = AColorHistEntry{uint8_t(random() % 4 * 85),
                                uint8_t(random() % 4 * 85),
                                uint8_t(random() % 4 * 85),
                                uint8_t(random() % 3 * 127),
                                0,
                                0};
      } else if (kind == 1) {
        entry = AColorHistEntry{uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random()), 0, 0};
      } else {
        const int level = i * 255 / count;
        entry = AColorHistEntry{uint8_t(level),
                                uint8_t(std::min(255, level + int(random() % 9))),
                                uint8_t(std::max(0, level - int(random() % 9))),
                                255,
                                0,
                                0};
      }
    }
    const int32_t searchCount = static_cast<int32_t>(random() % (count + 1));
    PaletteLookup cached(map.data(), searchCount, true);
    PaletteLookup uncached(map.data(), searchCount, false);
    EXPECT_FALSE(uncached.Caching());
    // Jumps across the colour space alternate with small steps, as neighbouring pixels take them.
    int32_t r = 128, g = 128, b = 128, a = 255;
    for (int query = 0; query < 600; ++query) {
      if (query % 50 == 0 || kind == 0) {
        r = int32_t(random() % 256), g = int32_t(random() % 256), b = int32_t(random() % 256);
        a = kind == 0 ? int32_t(random() % 3 * 127) : int32_t(random() % 256);
      } else {
        r = std::min(255, std::max(0, r + int32_t(random() % 7) - 3));
        g = std::min(255, std::max(0, g + int32_t(random() % 7) - 3));
        b = std::min(255, std::max(0, b + int32_t(random() % 7) - 3));
      }
      const int32_t expected =
          NearestColorIndex(map.data(), searchCount, uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a));
      ASSERT_EQ(cached.Find(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)), expected)
          << "seed " << seed << " round " << round << " query " << query;
      ASSERT_EQ(uncached.Find(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)), expected)
          << "seed " << seed << " round " << round << " query " << query;
    }
  }
}

TEST(PaletteLookupTest, ManyDistinctColoursKeepTheirAnswers) {
  // More distinct colours than the MatchCache keeps, each asked twice, far apart.
  const uint32_t seed = 5501;
  std::mt19937 random(seed);
  std::vector<AColorHistEntry> map(65);
  for (AColorHistEntry& entry : map) {
    entry = AColorHistEntry{uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random()), 0, 0};
  }
  PaletteLookup lookup(map.data(), 64);
  std::vector<uint32_t> colors(60000);
  for (uint32_t& color : colors) color = uint32_t(random());
  for (int pass = 0; pass < 2; ++pass) {
    for (const uint32_t color : colors) {
      const uint8_t r = uint8_t(color), g = uint8_t(color >> 8), b = uint8_t(color >> 16), a = uint8_t(color >> 24);
      ASSERT_EQ(lookup.Find(r, g, b, a), NearestColorIndex(map.data(), 64, r, g, b, a)) << "seed " << seed;
    }
  }
  EXPECT_TRUE(lookup.Caching());
}

// ---- Properties over random images

struct RandomCase {
  int32_t mode, width, height, planes, minAlpha;
  Bytes pixels;
  SaveOptionsRecord options;
  bool handMadeMap;
  std::vector<Rgba> map;
};

void ReduceFilterTest::LoadRandomCase(const RandomCase& c, std::mt19937& random) {
  SetImage(c.mode, c.width, c.height, c.planes, c.pixels, c.minAlpha);
  SaveOptions = c.options;
  if (c.mode == kIndexed) {
    Palette.count = 256;
    for (int i = 0; i < 256; ++i)
      Palette.entries[i] = PaletteEntry{uint8_t(random()), uint8_t(random()), uint8_t(random()), 255, 0};
  }
  if (c.handMadeMap) UseColorMap(c.map);
}

// The lowest alpha as acquisition gives it: 500 without an alpha plane, 256 when every pixel is opaque.
int32_t MinAlphaOf(const RandomCase& c) {
  if (c.planes == 1 || c.planes == 3) return 500;
  int32_t least = 256;
  for (size_t i = c.mode == kRgb ? 3 : 1; i < c.pixels.size(); i += c.planes)
    least = std::min<int32_t>(least, c.pixels[i]);
  return least == 255 ? 256 : least;
}

RandomCase MakeRandomCase(std::mt19937& random) {
  RandomCase c;
  const int32_t modes[3] = {kGray, kIndexed, kRgb};
  c.mode = modes[random() % 3];
  const int32_t rgbPlanes[3] = {3, 4, 5};
  const int32_t grayPlanes[4] = {1, 2, 3, 4};
  c.planes = c.mode == kRgb ? rgbPlanes[random() % 3]
                            : (c.mode == kGray ? grayPlanes[random() % 4] : 1 + int32_t(random() % 2));
  c.width = int32_t(random() % 10);
  c.height = int32_t(random() % 8);
  if (random() % 8 == 0) c.width = 1;
  c.pixels.resize(size_t(c.width) * c.height * c.planes);
  // Either any byte, or few levels so that colours repeat and alpha sits at its extremes.
  const bool coarse = random() % 2 == 0;
  for (uint8_t& byte : c.pixels) byte = coarse ? uint8_t(random() % 3 * 127 + (random() % 2)) : uint8_t(random());
  c.minAlpha = MinAlphaOf(c);
  SaveOptionsRecord& o = c.options;
  o.pngType = int8_t(random() % 7 == 0 ? 5 : random() % 3);
  o.alphaChannel = int8_t(random() % 2);
  o.useKeyColor = int8_t(random() % 2);
  o.keyColorDither = uint8_t(random() % 2);
  o.dither = uint8_t(random() % 9 == 0 ? 7 : random() % 4);
  const int32_t colors[6] = {2, 4, 16, 256, 3, 1000};
  o.paletteColors = colors[random() % 6];
  o.fillColor = int32_t(random() & 0xFFFFFF);
  c.handMadeMap = random() % 2 == 0;
  const int32_t mapSize = 1 + int32_t(random() % 20);
  for (int32_t i = 0; i < mapSize; ++i) {
    c.map.push_back(Rgba{uint8_t(random() % 3 * 127), uint8_t(random() % 3 * 127), uint8_t(random()),
                         uint8_t(random() % 3 * 127 + 1)});
  }
  return c;
}

TEST_F(ReduceFilterTest, RandomImagesMatchTheReferenceAndKeepTheInvariants) {
  const uint32_t seed = 7349;
  std::mt19937 random(seed);
  for (int round = 0; round < 3000; ++round) {
    ResetAll();
    const RandomCase c = MakeRandomCase(random);
    LoadRandomCase(c, random);
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " round " << round << " mode " << c.mode << " planes "
                                      << c.planes << " " << c.width << "x" << c.height << " type "
                                      << int(c.options.pngType) << " alpha " << int(c.options.alphaChannel) << " key "
                                      << int(c.options.useKeyColor) << " dither " << int(c.options.dither)
                                      << " tdither " << int(c.options.keyColorDither) << " hand map " << c.handMadeMap);

    DoFilter();
    const Bytes first = Output();
    const int8_t type = UsablePngType(c.options.pngType);
    const bool paletteOfRgb = c.mode == kRgb && type == kPngPalette;
    const ReferenceResult expected =
        ReferenceReduce(WholeImage, SaveOptions, Palette, paletteOfRgb ? ColorMap.data() : nullptr, Palette.count,
                        Bytes(first.size(), 0));
    ASSERT_EQ(ReducedImage.bytesPerPixel, expected.bytesPerPixel);
    if (paletteOfRgb && !ColorMap) {
      ASSERT_EQ(first, Bytes(first.size(), 0)) << "no palette, nothing written";
    } else {
      ASSERT_EQ(first, expected.pixels);
    }

    if (type == kPngPalette && (c.mode == kRgb || c.mode == kGray)) {
      for (uint8_t index : first) ASSERT_LT(index, Palette.count);
    }
    if (c.mode == kRgb && type == kPngRgb && c.planes == 4 && c.options.alphaChannel) {
      ASSERT_EQ(first, c.pixels) << "RGB with its alpha channel is the input itself";
    }

    DoFilter();
    ASSERT_EQ(Output(), first) << "a second run over the same image gives the same bytes";
  }
}

TEST_F(ReduceFilterTest, LargerRandomPalettesMatchTheReference) {
  // Bigger images with a built palette: long runs of the cache, the error row and the noise generator.
  const uint32_t seed = 99173;
  std::mt19937 random(seed);
  for (int round = 0; round < 24; ++round) {
    ResetAll();
    const int32_t width = 20 + int32_t(random() % 60);
    const int32_t height = 10 + int32_t(random() % 30);
    const int32_t planes = 3 + int32_t(random() % 2);
    Bytes pixels(size_t(width) * height * planes);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        uint8_t* p = &pixels[(size_t(y) * width + x) * planes];
        p[0] = uint8_t(x * 255 / width);
        p[1] = uint8_t(y * 255 / height);
        p[2] = uint8_t(random() % 64 + 96);
        if (planes == 4) p[3] = uint8_t(random() % 4 == 0 ? random() % 256 : 255);
      }
    }
    int32_t minAlpha = 256;
    if (planes == 4) {
      for (size_t i = 3; i < pixels.size(); i += 4) minAlpha = std::min<int32_t>(minAlpha, pixels[i]);
      if (minAlpha == 255) minAlpha = 256;
    }
    SetImage(kRgb, width, height, planes, pixels, minAlpha);
    SaveOptions.pngType = kPngPalette;
    SaveOptions.alphaChannel = int8_t(random() % 2);
    SaveOptions.useKeyColor = int8_t(random() % 2);
    SaveOptions.keyColorDither = uint8_t(random() % 2);
    SaveOptions.dither = uint8_t(round % 4);
    const int32_t colors[4] = {2, 16, 64, 256};
    SaveOptions.paletteColors = colors[random() % 4];
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " round " << round);
    DoFilter();
    ASSERT_NE(ColorMap.data(), nullptr);
    const ReferenceResult expected = ReferenceReduce(WholeImage, SaveOptions, Palette, ColorMap.data(), Palette.count,
                                                     Bytes(size_t(width) * height, 0));
    ASSERT_EQ(Output(), expected.pixels);
  }
}

// ---- Rows in bands on several threads

// The rows ReduceRows writes over the records as DoFilter left them, spread as asked.
struct SpreadRun {
  Bytes pixels;
  ReduceStatus status;
  std::vector<int32_t> reports;  // the last row done, as reported
};
SpreadRun ReduceSpread(const RowSpread& spread, int32_t stopAfterReports = -1) {
  const FilterSettings settings = FilterSettingsFor(WholeImage, SaveOptions);
  const bool paletteOfRgb = settings.mode == kRgb && settings.pngType == kPngPalette;
  const PaletteMatch match = paletteOfRgb ? PaletteMatchFor(settings, ColorMap.data(), Palette.count) : PaletteMatch{};
  SpreadRun run;
  run.pixels.assign(size_t(WholeImage._WholeWidth) * WholeImage._WholeHeight * settings.bytesPerPixel, 0xEE);
  const ProgressReport report = [&](double done, double total) {
    EXPECT_EQ(static_cast<int32_t>(total), 2 * WholeImage._WholeHeight);
    run.reports.push_back(static_cast<int32_t>(done));
    return stopAfterReports < 0 || static_cast<int32_t>(run.reports.size()) < stopAfterReports;
  };
  run.status = ReduceRows(WholeImage, settings, Palette, match, run.pixels.data(), report, spread);
  return run;
}

TEST_F(ReduceFilterTest, BandsOnSeveralThreadsGiveTheSerialBytesOnEveryPath) {
  const uint32_t seed = 5501;
  std::mt19937 random(seed);
  int32_t parallelRuns = 0;
  for (int round = 0; round < 1500; ++round) {
    ResetAll();
    RandomCase c = MakeRandomCase(random);
    // Taller images than the general cases, heights rarely a multiple of the band, and one-row ones.
    c.height = int32_t(random() % 4 == 0 ? 1 : 2 + random() % 22);
    c.pixels.resize(size_t(c.width) * c.height * c.planes);
    for (uint8_t& byte : c.pixels) byte = random() % 2 ? uint8_t(random() % 3 * 127 + random() % 2) : uint8_t(random());
    c.minAlpha = MinAlphaOf(c);
    LoadRandomCase(c, random);
    DoFilter();  // builds the palette where one is built
    const RowSpread spread{2 + int32_t(random() % 3), 1 + int32_t(random() % 5)};
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " round " << round << " mode " << c.mode << " planes "
                                      << c.planes << " " << c.width << "x" << c.height << " type "
                                      << int(c.options.pngType) << " dither " << int(c.options.dither) << " threads "
                                      << spread.threads << " bands of " << spread.bandRows);

    const SpreadRun serial = ReduceSpread(RowSpread{});
    const SpreadRun parallel = ReduceSpread(spread);
    ASSERT_EQ(parallel.status, serial.status);
    ASSERT_EQ(parallel.pixels, serial.pixels);
    if (serial.status == ReduceStatus::Ok && c.height > 0) {
      ASSERT_FALSE(parallel.reports.empty());
      EXPECT_EQ(parallel.reports.back(), c.height - 1) << "the last report is the serial one's";
      parallelRuns += c.height > spread.bandRows ? 1 : 0;
    }
  }
  EXPECT_GT(parallelRuns, 500) << "most rounds had more than one band";
}

TEST_F(ReduceFilterTest, NoiseWithTransparencyDitherSkipsEachBandsEarlierDraws) {
  // Clear pixels take one draw fewer with the alpha channel: each band must count the rows before it.
  const int32_t width = 37;
  const int32_t height = 41;
  Bytes pixels(size_t(width) * height * 4);
  std::mt19937 random(77);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = i % 4 == 3 ? uint8_t(random() % 3 == 0 ? 0 : 200) : uint8_t(random());
  SetImage(kRgb, width, height, 4, pixels, 0);
  for (const bool alphaChannel : {true, false}) {
    SetOptions(kPngPalette, alphaChannel, true, kNoise, true);
    SaveOptions.paletteColors = 16;
    Palette.built = 0;
    DoFilter();
    const SpreadRun serial = ReduceSpread(RowSpread{});
    for (const int32_t bandRows : {1, 4, 40}) {
      EXPECT_EQ(ReduceSpread(RowSpread{2, bandRows}).pixels, serial.pixels) << "bands of " << bandRows;
    }
  }
}

TEST_F(ReduceFilterTest, AStopInTheBandsEndsTheRunAborted) {
  SetImage(kRgb, 5, 60, 3, Bytes(5 * 60 * 3, 90));
  SetOptions(kPngGrayscale, false, false);
  DoFilter();
  const SpreadRun stopped = ReduceSpread(RowSpread{3, 2}, 1);
  EXPECT_EQ(stopped.status, ReduceStatus::Aborted);
  EXPECT_EQ(stopped.reports.size(), 1u) << "no report after the one that answered no";
  // Diffusion of the Palette type goes in order on the calling thread whatever the spread.
  SetOptions(kPngPalette, false, false, kDiffusion);
  UseColorMap({{0, 0, 0, 255}, {255, 255, 255, 255}});
  const SpreadRun ordered = ReduceSpread(RowSpread{3, 2});
  ASSERT_EQ(ordered.reports.size(), 60u);
  for (int32_t y = 0; y < 60; ++y) EXPECT_EQ(ordered.reports[y], y);
}

}  // namespace
