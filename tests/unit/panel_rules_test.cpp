// Which options-panel controls are enabled and checked for each kind of image and options, what the panel
// shows for the stored options, and where the palette view sits.
#include "ui/panel_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

namespace {

constexpr PanelImage kRgb{3, 3};
constexpr PanelImage kRgbWithAlpha{3, 4};
constexpr PanelImage kGray{1, 1};
constexpr PanelImage kGrayWithAlpha{1, 2};
constexpr PanelImage kIndexed{2, 1};

SaveOptionsRecord Options(int8_t type, bool alphaChannel, bool keyColor, uint8_t dither = kDiffusion) {
  SaveOptionsRecord options;
  options.pngType = type;
  options.alphaChannel = alphaChannel ? 1 : 0;
  options.useKeyColor = keyColor ? 1 : 0;
  options.dither = dither;
  return options;
}

void ExpectEntryButtonsOffAndUnchecked(const EntryButtonsState& state) {
  EXPECT_FALSE(state.lockEnabled);
  EXPECT_EQ(state.lockCheck, CheckChange::kUncheck);
  EXPECT_FALSE(state.transparentEnabled);
  EXPECT_EQ(state.transparentCheck, CheckChange::kUncheck);
}

TEST(EnableRules, RgbWithoutAlphaOffersNoTransparencyButThePaletteControlsForPalette) {
  for (bool alphaOn : {false, true}) {
    for (bool keyOn : {false, true}) {
      const EnableState palette = EnableRulesFor(kRgb, Options(kPngPalette, alphaOn, keyOn), 5);
      EXPECT_FALSE(palette.alphaChannel);
      EXPECT_FALSE(palette.fillColor);
      EXPECT_FALSE(palette.keyColor);
      EXPECT_TRUE(palette.paletteControls);
      EXPECT_FALSE(palette.transparencyDither) << "no alpha plane, even with a dither method";
      EXPECT_FALSE(palette.clearSelection);
      EXPECT_TRUE(palette.entryButtons.lockEnabled);
      EXPECT_EQ(palette.entryButtons.lockCheck, CheckChange::kKeep);
      EXPECT_FALSE(palette.entryButtons.transparentEnabled);
      EXPECT_EQ(palette.entryButtons.transparentCheck, CheckChange::kUncheck);

      const EnableState rgb = EnableRulesFor(kRgb, Options(kPngRgb, alphaOn, keyOn), 5);
      EXPECT_FALSE(rgb.alphaChannel);
      EXPECT_FALSE(rgb.fillColor);
      EXPECT_FALSE(rgb.keyColor);
      EXPECT_FALSE(rgb.paletteControls);
      EXPECT_FALSE(rgb.transparencyDither);
      EXPECT_TRUE(rgb.clearSelection);
      ExpectEntryButtonsOffAndUnchecked(rgb.entryButtons);
    }
  }
}

TEST(EnableRules, RgbWithAlphaAndAlphaChannelOnDisablesFillAndKeyColour) {
  for (bool keyOn : {false, true}) {
    const EnableState state = EnableRulesFor(kRgbWithAlpha, Options(kPngPalette, true, keyOn, kPattern), 7);
    EXPECT_TRUE(state.alphaChannel);
    EXPECT_FALSE(state.fillColor);
    EXPECT_FALSE(state.keyColor);
    EXPECT_TRUE(state.paletteControls);
    EXPECT_TRUE(state.transparencyDither);
    EXPECT_FALSE(state.clearSelection);
    EXPECT_TRUE(state.entryButtons.lockEnabled);
    EXPECT_FALSE(state.entryButtons.transparentEnabled);  // the alpha comes from the image
    EXPECT_EQ(state.entryButtons.transparentCheck, CheckChange::kUncheck);
  }
  // Without a dither method there is nothing to dither the transparency with.
  EXPECT_FALSE(EnableRulesFor(kRgbWithAlpha, Options(kPngPalette, true, false, kNoDither), -1).transparencyDither);
  for (uint8_t method : {kDiffusion, kPattern, kNoise}) {
    EXPECT_TRUE(EnableRulesFor(kRgbWithAlpha, Options(kPngPalette, true, false, method), -1).transparencyDither);
  }
}

TEST(EnableRules, RgbWithAlphaAndEveryCombinationOfAlphaChannelAndKeyColour) {
  struct Case {
    bool alphaOn;
    bool keyOn;
    bool fill;
    bool key;
    bool transparencyDither;  // Palette with Diffusion
    bool transparentButton;   // Palette with an entry selected
  };
  const Case cases[] = {
      {false, false, true, true, false, false},
      {false, true, false, true, true, true},
      {true, false, false, false, true, false},
      {true, true, false, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "alpha " << c.alphaOn << " key " << c.keyOn);
    const EnableState palette = EnableRulesFor(kRgbWithAlpha, Options(kPngPalette, c.alphaOn, c.keyOn), 12);
    EXPECT_TRUE(palette.alphaChannel);
    EXPECT_EQ(palette.fillColor, c.fill);
    EXPECT_EQ(palette.keyColor, c.key);
    EXPECT_TRUE(palette.paletteControls);
    EXPECT_EQ(palette.transparencyDither, c.transparencyDither);
    EXPECT_FALSE(palette.clearSelection);
    EXPECT_TRUE(palette.entryButtons.lockEnabled);
    EXPECT_EQ(palette.entryButtons.lockCheck, CheckChange::kKeep);
    EXPECT_EQ(palette.entryButtons.transparentEnabled, c.transparentButton);
    EXPECT_EQ(palette.entryButtons.transparentCheck, c.transparentButton ? CheckChange::kKeep : CheckChange::kUncheck);

    for (int8_t type : {kPngGrayscale, kPngRgb}) {
      const EnableState other = EnableRulesFor(kRgbWithAlpha, Options(type, c.alphaOn, c.keyOn), 12);
      EXPECT_TRUE(other.alphaChannel);
      // These types have no key colour: without an alpha channel the image is laid over the fill.
      EXPECT_EQ(other.fillColor, !c.alphaOn);
      EXPECT_EQ(other.keyColor, c.key);
      EXPECT_FALSE(other.paletteControls);
      EXPECT_FALSE(other.transparencyDither);
      EXPECT_TRUE(other.clearSelection);
      ExpectEntryButtonsOffAndUnchecked(other.entryButtons);
    }
  }
}

TEST(EnableRules, KeyColourWithASelectedEntryEnablesBothEntryButtonsAndKeepsTheirChecks) {
  const EnableState state = EnableRulesFor(kRgbWithAlpha, Options(kPngPalette, false, true), 0);
  EXPECT_FALSE(state.fillColor);
  EXPECT_TRUE(state.keyColor);
  EXPECT_TRUE(state.entryButtons.lockEnabled);
  EXPECT_TRUE(state.entryButtons.transparentEnabled);
  EXPECT_EQ(state.entryButtons.lockCheck, CheckChange::kKeep);
  EXPECT_EQ(state.entryButtons.transparentCheck, CheckChange::kKeep);
  // No selection: both off.
  ExpectEntryButtonsOffAndUnchecked(EnableRulesFor(kRgbWithAlpha, Options(kPngPalette, false, true), -1).entryButtons);
}

TEST(EnableRules, GrayWithAlphaOffersNoKeyColourAndNoPaletteControls) {
  for (bool keyOn : {false, true}) {
    for (uint8_t method : {kNoDither, kDiffusion}) {
      // The fill colour follows the alpha channel...
      const EnableState off = EnableRulesFor(kGrayWithAlpha, Options(kPngGrayscale, false, keyOn, method), 3);
      EXPECT_TRUE(off.alphaChannel);
      EXPECT_TRUE(off.fillColor);
      const EnableState on = EnableRulesFor(kGrayWithAlpha, Options(kPngRgb, true, keyOn, method), 3);
      EXPECT_TRUE(on.alphaChannel);
      EXPECT_FALSE(on.fillColor);
      // ...unless the type is Palette: the gray ramp keeps no transparency, so the alpha channel is off and the
      // image is always laid over the fill.
      for (bool alphaOn : {false, true}) {
        const EnableState palette = EnableRulesFor(kGrayWithAlpha, Options(kPngPalette, alphaOn, keyOn, method), 3);
        EXPECT_FALSE(palette.alphaChannel);
        EXPECT_TRUE(palette.fillColor);
        EXPECT_FALSE(palette.keyColor);
        EXPECT_FALSE(palette.transparencyDither);
        EXPECT_FALSE(palette.paletteControls);
        EXPECT_TRUE(palette.clearSelection);
        ExpectEntryButtonsOffAndUnchecked(palette.entryButtons);
      }
      for (const EnableState& state : {off, on}) {
        EXPECT_FALSE(state.keyColor);
        EXPECT_FALSE(state.transparencyDither);
        EXPECT_FALSE(state.paletteControls);
        EXPECT_TRUE(state.clearSelection);
        ExpectEntryButtonsOffAndUnchecked(state.entryButtons);
      }
    }
  }
}

TEST(EnableRules, IndexedAndGrayImagesNeverOfferThePaletteControls) {
  for (const PanelImage& image : {kIndexed, kGray}) {
    for (int8_t type : {kPngGrayscale, kPngPalette, kPngRgb}) {
      SCOPED_TRACE(testing::Message() << "mode " << image.mode << " type " << int{type});
      const EnableState state = EnableRulesFor(image, Options(type, true, true), 4);
      EXPECT_FALSE(state.alphaChannel);
      EXPECT_FALSE(state.fillColor);
      EXPECT_FALSE(state.keyColor);
      EXPECT_FALSE(state.transparencyDither);
      EXPECT_FALSE(state.paletteControls);
      EXPECT_TRUE(state.clearSelection);
      ExpectEntryButtonsOffAndUnchecked(state.entryButtons);
    }
  }
}

TEST(EnableRules, AnIndexedImagesTransparentIndexNeedsTheFillInGrayscaleAndRgbFiles) {
  const PanelImage clearIndex{2, 1, true};
  EXPECT_TRUE(EnableRulesFor(clearIndex, Options(kPngGrayscale, true, true), -1).fillColor);
  EXPECT_TRUE(EnableRulesFor(clearIndex, Options(kPngRgb, false, false), -1).fillColor);
  // A Palette file keeps the index transparent: no fill.
  EXPECT_FALSE(EnableRulesFor(clearIndex, Options(kPngPalette, true, true), -1).fillColor);
}

TEST(EnableRules, AnUnknownStoredTypeIsTakenAsRgbAsTheReductionTakesIt) {
  const EnableState state = EnableRulesFor(kRgbWithAlpha, Options(9, false, true), 4);
  EXPECT_FALSE(state.paletteControls);
  EXPECT_TRUE(state.clearSelection);
  EXPECT_TRUE(state.keyColor);
}

TEST(EntryButtons, FollowTypeSelectionAndTransparencyMode) {
  ExpectEntryButtonsOffAndUnchecked(EntryButtonsFor(kRgbWithAlpha, Options(kPngRgb, false, true), 3));
  ExpectEntryButtonsOffAndUnchecked(EntryButtonsFor(kRgbWithAlpha, Options(kPngPalette, false, true), -1));
  ExpectEntryButtonsOffAndUnchecked(EntryButtonsFor(kRgbWithAlpha, Options(kPngPalette, false, true), 256));

  const EntryButtonsState key = EntryButtonsFor(kRgbWithAlpha, Options(kPngPalette, false, true), 255);
  EXPECT_TRUE(key.lockEnabled);
  EXPECT_EQ(key.lockCheck, CheckChange::kKeep);
  EXPECT_TRUE(key.transparentEnabled);
  EXPECT_EQ(key.transparentCheck, CheckChange::kKeep);

  const std::pair<PanelImage, SaveOptionsRecord> withoutKeyLook[] = {
      {kRgbWithAlpha, Options(kPngPalette, true, true)},    // the alpha channel wins
      {kRgbWithAlpha, Options(kPngPalette, false, false)},  // no key colour
      {kRgb, Options(kPngPalette, false, true)},            // no alpha plane
  };
  for (const auto& [image, options] : withoutKeyLook) {
    const EntryButtonsState state = EntryButtonsFor(image, options, 0);
    EXPECT_TRUE(state.lockEnabled);
    EXPECT_EQ(state.lockCheck, CheckChange::kKeep);
    EXPECT_FALSE(state.transparentEnabled);
    EXPECT_EQ(state.transparentCheck, CheckChange::kUncheck);
  }
}

TEST(ColorsList, ShowsTheSmallestListedCountThatHoldsTheStoredOne) {
  const std::pair<int32_t, int> cases[] = {{INT32_MIN, 7}, {-5, 7},  {0, 7},   {1, 7},   {2, 7},
                                           {3, 6},         {4, 6},   {16, 4},  {17, 3},  {100, 1},
                                           {128, 1},       {129, 0}, {256, 0}, {300, 0}, {INT32_MAX, 0}};
  for (const auto& [colors, index] : cases) EXPECT_EQ(ColorsListIndexFor(colors), index) << colors;
}

TEST(ColorsList, EachIndexStandsForTwoToThePowerEightMinusIt) {
  const int32_t expected[] = {256, 128, 64, 32, 16, 8, 4, 2};
  for (int index = 0; index < 8; ++index) EXPECT_EQ(PaletteColorsForListIndex(index), expected[index]) << index;
  EXPECT_EQ(PaletteColorsForListIndex(-1), 0);  // no selection
  EXPECT_EQ(PaletteColorsForListIndex(8), 0);
}

TEST(SyncState, ShowsTheStoredOptionsWithoutChangingThem) {
  SaveOptionsRecord options = Options(kPngPalette, true, false, kNoise);
  options.paletteColors = 100;
  options.keyColorDither = 0;
  options.fillColor = 0x00123456;
  const PanelSyncState state = SyncStateFor(kRgbWithAlpha, options, 40);
  EXPECT_EQ(state.pngType, kPngPalette);
  EXPECT_TRUE(state.alphaChannel);
  EXPECT_FALSE(state.keyColor);
  EXPECT_FALSE(state.transparencyDither);
  EXPECT_EQ(state.colorsListIndex, 1);  // "128"
  EXPECT_EQ(state.ditherListIndex, 3);
  EXPECT_EQ(state.fillColor, 0x00123456u);
  EXPECT_EQ(state.shownCount, 128);
  EXPECT_FALSE(state.refinePalette);
  EXPECT_EQ(state.compressionListIndex, 0);  // Standard
  EXPECT_EQ(options.paletteColors, 100);

  options.keyColorDither = 5;  // any non-zero value is on
  options.alphaChannel = -2;
  options.useKeyColor = 7;
  options.pngType = 4;   // unknown: RGB
  options.dither = 200;  // unknown: Diffusion
  options.refinePalette = 3;
  options.compression = 2;  // unknown: Standard
  const PanelSyncState odd = SyncStateFor(kRgbWithAlpha, options, 40);
  EXPECT_TRUE(odd.transparencyDither);
  EXPECT_TRUE(odd.alphaChannel);
  EXPECT_TRUE(odd.keyColor);
  EXPECT_TRUE(odd.refinePalette);
  EXPECT_EQ(odd.pngType, kPngRgb);
  EXPECT_EQ(odd.ditherListIndex, 1);
  EXPECT_EQ(odd.compressionListIndex, 0);
  EXPECT_EQ(odd.shownCount, 0);
  EXPECT_EQ(options.compression, 2);

  options.compression = kSmallestCompression;
  EXPECT_EQ(SyncStateFor(kGray, options, 0).compressionListIndex, 1);  // Smallest, for every image
}

TEST(SyncState, ShownCellsDependOnTypeAndImageMode) {
  SaveOptionsRecord options = Options(kPngPalette, false, true);
  options.paletteColors = 16;
  EXPECT_EQ(SyncStateFor(kGray, options, 7).shownCount, 256);     // the gray ramp
  EXPECT_EQ(SyncStateFor(kIndexed, options, 37).shownCount, 37);  // the host's colour table
  EXPECT_EQ(SyncStateFor(kIndexed, options, 300).shownCount, 256);
  EXPECT_EQ(SyncStateFor(kIndexed, options, -1).shownCount, 0);
  EXPECT_EQ(SyncStateFor(kRgb, options, 7).shownCount, 16);
  options.paletteColors = 300;
  EXPECT_EQ(SyncStateFor(kRgbWithAlpha, options, 7).shownCount, 256);
  for (int8_t type : {kPngGrayscale, kPngRgb}) {
    options.pngType = type;
    for (const PanelImage& image : {kGray, kIndexed, kRgb, kRgbWithAlpha}) {
      EXPECT_EQ(SyncStateFor(image, options, 37).shownCount, 0) << image.mode;
    }
  }
}

// With a quality set, an RGB image's palette takes the count the quality chose: the Colors list shows that count,
// disabled; the quality list offers Off, its listed values and any stored one; gray and indexed images ignore it.
TEST(PaletteQuality, ChoosesTheCountTheColorsListShowsDisabledAndTheListHoldsTheStoredValue) {
  SaveOptionsRecord options = Options(kPngPalette, true, false);
  options.paletteColors = 16;
  const PanelSyncState off = SyncStateFor(kRgbWithAlpha, options, 16);
  EXPECT_EQ(off.qualityListIndex, 0);
  EXPECT_EQ(off.qualityList.front(), 0);
  EXPECT_EQ(off.chosenColors, 0);
  EXPECT_TRUE(EnableRulesFor(kRgbWithAlpha, options, -1).colorsList);

  options.paletteQuality = 73;  // not listed: it joins the list between 75 and 70
  const PanelSyncState on = SyncStateFor(kRgbWithAlpha, options, 37);
  EXPECT_EQ(on.qualityList, (std::vector<int32_t>{0, 100, 95, 90, 85, 80, 75, 73, 70, 60, 50, 40, 30, 20, 10}));
  EXPECT_EQ(on.qualityList[static_cast<size_t>(on.qualityListIndex)], 73);
  EXPECT_EQ(on.chosenColors, 37);
  EXPECT_EQ(on.shownCount, 37);
  const EnableState enabled = EnableRulesFor(kRgbWithAlpha, options, -1);
  EXPECT_TRUE(enabled.paletteControls);
  EXPECT_FALSE(enabled.colorsList);
  options.paletteQuality = 1;  // below every listed value: last
  EXPECT_EQ(SyncStateFor(kRgb, options, 37).qualityList.back(), 1);
  options.paletteQuality = 90;  // listed: once
  EXPECT_EQ(SyncStateFor(kRgb, options, 37).qualityList.size(), 1 + std::size(kListedQualities));
  options.paletteQuality = 101;  // not a quality: Off, and the count is the list's
  EXPECT_EQ(SyncStateFor(kRgb, options, 37).qualityListIndex, 0);
  EXPECT_EQ(SyncStateFor(kRgb, options, 37).shownCount, 16);

  options.paletteQuality = 50;
  EXPECT_EQ(SyncStateFor(kGray, options, 37).chosenColors, 0);
  EXPECT_EQ(SyncStateFor(kIndexed, options, 37).shownCount, 37);
  EXPECT_EQ(SyncStateFor(kIndexed, options, 37).chosenColors, 0);
  EXPECT_FALSE(EnableRulesFor(kIndexed, options, -1).colorsList);
  options.pngType = kPngRgb;
  EXPECT_EQ(SyncStateFor(kRgb, options, 37).chosenColors, 0);
  EXPECT_FALSE(EnableRulesFor(kRgb, options, -1).colorsList);
}

// Convert to sRGB is offered where the document's profile is one to convert from, for every type; the box shows
// the option.
TEST(ConvertToSrgb, IsOfferedWithAProfileToConvertFromAndShowsTheOption) {
  SaveOptionsRecord options = Options(kPngRgb, true, false);
  PanelImage tagged = kRgbWithAlpha;
  tagged.srgbConvertible = true;
  EXPECT_TRUE(EnableRulesFor(tagged, options, -1).convertToSrgb);
  EXPECT_FALSE(EnableRulesFor(kRgbWithAlpha, options, -1).convertToSrgb);
  options.pngType = kPngGrayscale;
  EXPECT_TRUE(EnableRulesFor(tagged, options, -1).convertToSrgb);
  EXPECT_FALSE(SyncStateFor(tagged, options, 0).convertToSrgb);
  options.convertToSrgb = 1;
  EXPECT_TRUE(SyncStateFor(tagged, options, 0).convertToSrgb);
  EXPECT_FALSE(SyncStateFor(kRgbWithAlpha, options, 0).convertToSrgb);  // no profile: nothing to show ticked
}

// 16 Bits/Channel is offered for a 16-bit document's Grayscale and RGB files; the box shows the option only for a
// 16-bit document, and keeps it, disabled, while the type is Palette.
TEST(SixteenBits, IsOfferedForSixteenBitGrayscaleAndRgbAndShowsTheOption) {
  SaveOptionsRecord options = Options(kPngRgb, true, false);
  options.sixteenBits = 1;
  PanelImage deep = kRgbWithAlpha;
  deep.sixteenBits = true;
  for (const int8_t type : {kPngGrayscale, kPngRgb}) {
    options.pngType = type;
    EXPECT_TRUE(EnableRulesFor(deep, options, -1).sixteenBits) << int{type};
    EXPECT_FALSE(EnableRulesFor(kRgbWithAlpha, options, -1).sixteenBits) << int{type};
  }
  options.pngType = kPngPalette;
  EXPECT_FALSE(EnableRulesFor(deep, options, -1).sixteenBits);
  EXPECT_TRUE(SyncStateFor(deep, options, 0).sixteenBits);
  EXPECT_FALSE(SyncStateFor(kRgbWithAlpha, options, 0).sixteenBits);
  options.sixteenBits = 0;
  EXPECT_FALSE(SyncStateFor(deep, options, 0).sixteenBits);
}

TEST(PaletteViewPlace, CentresTheViewInTheGroupFourPixelsRightAndSixteenDown) {
  const PanelPoint place = PaletteViewPlace(10, 280, 225);
  EXPECT_EQ(place.x, 18);  // 10 + 9 / 2 + 4
  EXPECT_EQ(place.y, 296);
  const PanelPoint exact = PaletteViewPlace(0, 0, 216);
  EXPECT_EQ(exact.x, 4);
  EXPECT_EQ(exact.y, 16);
  // At 200 % the view and its offsets double; at 125 % the 16 x 16 cells stay whole (270 / 16 = 16 each).
  EXPECT_EQ(PaletteViewSize(192), 432);
  const PanelPoint doubled = PaletteViewPlace(20, 560, 450, 192);
  EXPECT_EQ(doubled.x, 20 + 9 + 8);
  EXPECT_EQ(doubled.y, 560 + 32);
  EXPECT_EQ(PaletteViewSize(120), 270);
  EXPECT_EQ(PaletteViewSize(96), kPaletteViewSize);
}

}  // namespace
