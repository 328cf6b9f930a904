// The defaults every save starts from, and the rules that make stored values usable.
#include "records/save_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

TEST(SaveOptions, ResetRestoresEveryDefault) {
  SaveOptions = SaveOptionsRecord{1, 2, 3, 4, 0, 16, 0, 0, 0x123456, 3, 0};
  ResetSaveOptions();
  const SaveOptionsRecord& o = SaveOptions;
  EXPECT_EQ((std::vector<int64_t>{o.windowLeft, o.windowTop, o.windowWidth, o.windowHeight, o.pngType, o.paletteColors,
                                  o.alphaChannel, o.useKeyColor, o.fillColor, o.dither, o.keyColorDither}),
            (std::vector<int64_t>{100, 100, 800, 600, 2, 256, 1, 1, 0, 1, 1}));
}

TEST(UsablePaletteColors, RoundsUpToAPowerOfTwoWithinTwoTo256) {
  const std::pair<int32_t, int32_t> cases[] = {
      {INT32_MIN, 2}, {-5, 2},  {0, 2},     {1, 2},     {2, 2},     {3, 4},     {4, 4},     {5, 8},
      {16, 16},       {17, 32}, {100, 128}, {128, 128}, {129, 256}, {256, 256}, {257, 256}, {INT32_MAX, 256}};
  for (const auto& [requested, usable] : cases) EXPECT_EQ(UsablePaletteColors(requested), usable) << requested;
}

TEST(UsableTypeAndDither, KeepKnownValuesAndReplaceOthersWithTheDefault) {
  for (int type : {0, 1, 2}) EXPECT_EQ(UsablePngType(static_cast<int8_t>(type)), type);
  for (int type : {-128, -1, 3, 127}) EXPECT_EQ(UsablePngType(static_cast<int8_t>(type)), kPngRgb) << type;
  for (int method : {0, 1, 2, 3}) EXPECT_EQ(UsableDither(static_cast<uint8_t>(method)), method);
  for (int method : {4, 255}) EXPECT_EQ(UsableDither(static_cast<uint8_t>(method)), kDiffusion) << method;
}

TEST(UsablePreviewZoomAndView, KeepFitTheStepsAndTwoUpAndOpenAnythingElseAtFullSizeInOnePane) {
  for (int32_t zoom : {0, 125, 667, 1000, 8000}) EXPECT_EQ(UsablePreviewZoom(zoom), zoom);
  for (int32_t zoom : {-1, 1, 100, 666, 1500, 8001, 80000}) EXPECT_EQ(UsablePreviewZoom(zoom), 1000) << zoom;
  EXPECT_EQ(UsablePreviewView(2), kTwoUp);
  for (int view : {0, 1, 3, 255}) EXPECT_EQ(UsablePreviewView(static_cast<uint8_t>(view)), kOneUp) << view;
}

TEST(UsableCompression, IsSmallestOnlyForOneAndStandardForEveryOtherValue) {
  EXPECT_EQ(SaveOptionsRecord{}.compression, kStandardCompression);
  EXPECT_EQ(UsableCompression(1), kSmallestCompression);
  for (int stored : {0, 2, 3, 128, 255}) {
    EXPECT_EQ(UsableCompression(static_cast<uint8_t>(stored)), kStandardCompression) << stored;
  }
  SaveOptionsRecord stored;
  stored.compression = 7;
  EXPECT_EQ(UsableOptions(stored).compression, kStandardCompression);
  stored.compression = 1;
  EXPECT_EQ(UsableOptions(stored).compression, kSmallestCompression);
}

TEST(UsablePaletteQuality, KeepsOneToAHundredAndTurnsEveryOtherValueOff) {
  EXPECT_EQ(SaveOptionsRecord{}.paletteQuality, 0);
  for (int32_t stored : {1, 50, 100}) EXPECT_EQ(UsablePaletteQuality(stored), stored);
  for (int32_t stored : {0, -1, 101, 300, 256 + 75, -2147483647 - 1})
    EXPECT_EQ(UsablePaletteQuality(stored), 0) << stored;
  SaveOptionsRecord stored;
  stored.paletteQuality = 101;
  EXPECT_EQ(UsableOptions(stored).paletteQuality, 0);
  stored.paletteQuality = 90;
  EXPECT_EQ(UsableOptions(stored).paletteQuality, 90);
}

TEST(UsableOptions, FixesTheRangedFieldsAndPassesTheRestThrough) {
  const SaveOptionsRecord usable = UsableOptions({-20, -30, 5, 7, 9, 100, 5, -3, -1, 200, 77});
  EXPECT_EQ((std::vector<int64_t>{usable.windowLeft, usable.windowTop, usable.windowWidth, usable.windowHeight,
                                  usable.pngType, usable.paletteColors, usable.alphaChannel, usable.useKeyColor,
                                  usable.fillColor, usable.dither, usable.keyColorDither}),
            (std::vector<int64_t>{-20, -30, 5, 7, kPngRgb, 128, 5, -3, -1, kDiffusion, 77}));
  EXPECT_EQ(UsableOptions({0, 0, 1, 1, kPngPalette, 16, 0, 1, 0, kNoise, 0}).pngType, kPngPalette);
}

}  // namespace
