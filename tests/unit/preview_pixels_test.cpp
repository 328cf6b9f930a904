// The preview's pixel arithmetic: colour and alpha by PNG type, the view at 100 %, bitmap geometry,
// the checkerboard and the blend.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "tests/support/shared_preview_source.h"
#include "ui/pane_captions.h"
#include "ui/preview_source.h"
#include "widgets/preview_pixels.h"
#include "widgets/preview_zoom.h"

namespace {

struct Rgba {
  int red, green, blue, alpha;
};

Rgba ColorOf(const PreviewSource& source, std::vector<uint8_t> pixel) {
  const PreviewColor color = PreviewColorOf(source, pixel.data());
  return {color.red, color.green, color.blue, color.alpha};
}

void ExpectRgba(const Rgba& actual, int red, int green, int blue, int alpha) {
  EXPECT_EQ(actual.red, red);
  EXPECT_EQ(actual.green, green);
  EXPECT_EQ(actual.blue, blue);
  EXPECT_EQ(actual.alpha, alpha);
}

PreviewSource SourceOfType(int8_t pngType, int32_t bytesPerPixel) {
  PreviewSource source;
  source.pngType = pngType;
  source.bytesPerPixel = bytesPerPixel;
  return source;
}

TEST(PreviewColorOf, RgbTakesAlphaFromTheFourthByteOnly) {
  ExpectRgba(ColorOf(SourceOfType(kPngRgb, 3), {10, 20, 30}), 10, 20, 30, 255);
  ExpectRgba(ColorOf(SourceOfType(kPngRgb, 4), {10, 20, 30, 40}), 10, 20, 30, 40);
  ExpectRgba(ColorOf(SourceOfType(kPngRgb, 4), {10, 20, 30, 0}), 10, 20, 30, 0);
}

TEST(PreviewColorOf, GrayRepeatsTheGrayAndTakesAlphaFromTheSecondByteOnly) {
  ExpectRgba(ColorOf(SourceOfType(kPngGrayscale, 1), {77}), 77, 77, 77, 255);
  ExpectRgba(ColorOf(SourceOfType(kPngGrayscale, 2), {77, 9}), 77, 77, 77, 9);
}

class PaletteColors : public ::testing::Test {
 protected:
  PaletteColors() {
    entries[5] = PaletteEntry{1, 2, 3, 60, 0};
    entries[6] = PaletteEntry{4, 5, 6, 0, 0};
    entries[7] = PaletteEntry{7, 8, 9, 255, 1};
    source = SourceOfType(kPngPalette, 1);
    source.palette = entries;
  }
  PaletteEntry entries[256] = {};
  PreviewSource source;
};

TEST_F(PaletteColors, ASecondByteGivesTheAlpha) {
  source.bytesPerPixel = 2;
  source.paletteAlpha = PaletteAlpha::kEntryAlpha;
  ExpectRgba(ColorOf(source, {5, 200}), 1, 2, 3, 200);
}

TEST_F(PaletteColors, EntryAlphaShowsEachEntrysAlpha) {
  source.paletteAlpha = PaletteAlpha::kEntryAlpha;
  ExpectRgba(ColorOf(source, {5}), 1, 2, 3, 60);
  ExpectRgba(ColorOf(source, {6}), 4, 5, 6, 0);
}

TEST_F(PaletteColors, KeyedShowsTransparentEntriesClearAndAllOthersOpaque) {
  source.paletteAlpha = PaletteAlpha::kKeyed;
  ExpectRgba(ColorOf(source, {6}), 4, 5, 6, 0);
  ExpectRgba(ColorOf(source, {5}), 1, 2, 3, 255);
  ExpectRgba(ColorOf(source, {7}), 7, 8, 9, 255);
}

TEST_F(PaletteColors, AnOpaquePaletteShowsEveryEntryOpaque) {
  source.paletteAlpha = PaletteAlpha::kOpaque;
  ExpectRgba(ColorOf(source, {6}), 4, 5, 6, 255);
  ExpectRgba(ColorOf(source, {5}), 1, 2, 3, 255);
}

// A 3 x 2 RGB image whose red byte is 10 * row + column and green byte is 100 + the same.
std::vector<uint8_t> NumberedRgb() {
  return {0,  100, 7, 1,  101, 7, 2,  102, 7,  //
          10, 110, 7, 11, 111, 7, 12, 112, 7};
}

PreviewSource RgbSource(const std::vector<uint8_t>& pixels, int32_t width, int32_t height) {
  PreviewSource source = SourceOfType(kPngRgb, 3);
  source.pixels = pixels.data();
  source.width = width;
  source.height = height;
  source.rowBytes = width * 3;
  return source;
}

TEST(ScaleViewAtFullSize, CopiesTheVisiblePartFromTheOrigin) {
  const std::vector<uint8_t> image = NumberedRgb();
  std::vector<uint8_t> view(2 * 2 * 4, 0);
  ScaleView(RgbSource(image, 3, 2), 1.0, 1, 0, 2, 2, view.data());
  EXPECT_EQ(view, (std::vector<uint8_t>{1, 101, 7, 255, 2, 102, 7, 255,  //
                                        11, 111, 7, 255, 12, 112, 7, 255}));

  std::vector<uint8_t> lower(3 * 1 * 4, 0);
  ScaleView(RgbSource(image, 3, 2), 1.0, 0, 1, 3, 1, lower.data());
  EXPECT_EQ(lower, (std::vector<uint8_t>{10, 110, 7, 255, 11, 111, 7, 255, 12, 112, 7, 255}));
}

TEST(ScaleViewAtFullSize, SourcesOutsideTheImageStayTransparentBlack) {
  const std::vector<uint8_t> image = NumberedRgb();
  std::vector<uint8_t> view(3 * 2 * 4, 0);
  // From (2, 1) on, only the first view pixel lies on the image.
  ScaleView(RgbSource(image, 3, 2), 1.0, 2, 1, 3, 2, view.data());
  EXPECT_EQ(view, (std::vector<uint8_t>{12, 112, 7, 255, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                        0,  0,   0, 0,   0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ScaleViewAtFullSize, WithoutReducedRowsNothingIsWritten) {
  PreviewSource source = SourceOfType(kPngRgb, 3);
  source.width = 2;
  source.height = 1;
  source.rowBytes = 6;
  std::vector<uint8_t> view(2 * 4, 9);
  ScaleView(source, 1.0, 0, 0, 2, 1, view.data());
  EXPECT_EQ(view, std::vector<uint8_t>(2 * 4, 9));
}

TEST(ScaleViewAtFullSize, PaletteImageInKeyColourModeShowsOnlyAlphaZeroEntriesClear) {
  PaletteEntry entries[256] = {};
  entries[0] = PaletteEntry{9, 9, 9, 0, 0};
  entries[1] = PaletteEntry{40, 50, 60, 1, 0};
  entries[2] = PaletteEntry{70, 80, 90, 255, 0};
  const std::vector<uint8_t> image = {0, 1, 2};
  PreviewSource source = SourceOfType(kPngPalette, 1);
  source.pixels = image.data();
  source.width = 3;
  source.height = 1;
  source.rowBytes = 3;
  source.palette = entries;
  source.paletteAlpha = PaletteAlpha::kKeyed;
  std::vector<uint8_t> view(3 * 4, 0);
  ScaleView(source, 1.0, 0, 0, 3, 1, view.data());
  EXPECT_EQ(view, (std::vector<uint8_t>{9, 9, 9, 0, 40, 50, 60, 255, 70, 80, 90, 255}));
}

TEST(BitmapGeometry, WidthIsTheShownWidthRoundedUpToFour) {
  EXPECT_EQ(BitmapWidthFor(401, 401), 404);
  EXPECT_EQ(BitmapWidthFor(1000, 401), 404);
  EXPECT_EQ(BitmapWidthFor(401, 1000), 404);
  EXPECT_EQ(BitmapWidthFor(400, 400), 400);
  EXPECT_EQ(BitmapWidthFor(20, 6), 8);
  EXPECT_EQ(BitmapWidthFor(20, 1), 4);
  EXPECT_EQ(BitmapWidthFor(0, 10), 0);
}

TEST(CheckerValue, SquaresOfTheSizeGivenForTheScreen) {
  // 14-pixel squares at 200 %: the 96-dpi board doubled.
  for (int32_t row = 0; row < 56; ++row) {
    for (int32_t column = 0; column < 56; ++column) {
      ASSERT_EQ(CheckerValue(row, column, 14), CheckerValue(row / 2, column / 2)) << row << ", " << column;
    }
  }
  EXPECT_EQ(CheckerValue(0, 0, 0), 204) << "a square of no size is taken as one pixel";
  EXPECT_EQ(CheckerValue(0, 1, 0), 255);
}

TEST(CheckerValue, SevenPixelSquaresStartingDark) {
  EXPECT_EQ(CheckerValue(0, 0), 204);
  EXPECT_EQ(CheckerValue(6, 6), 204);
  EXPECT_EQ(CheckerValue(0, 7), 255);
  EXPECT_EQ(CheckerValue(7, 0), 255);
  EXPECT_EQ(CheckerValue(6, 7), 255);
  EXPECT_EQ(CheckerValue(7, 7), 204);
  EXPECT_EQ(CheckerValue(13, 14), 255);
  EXPECT_EQ(CheckerValue(14, 14), 204);
  EXPECT_EQ(CheckerValue(20, 0), 204);
}

TEST(BlendOverChecker, FullyTransparentShowsTheChecker) {
  EXPECT_EQ(BlendOverChecker(0, 0, 204), 204);
  EXPECT_EQ(BlendOverChecker(255, 0, 204), 204);
  EXPECT_EQ(BlendOverChecker(50, 0, 255), 255);
}

TEST(BlendOverChecker, SinglePrecisionFractionsSummedInDouble) {
  // a = float(128/255) = 0.50196081399917603, 1 - a = 0.49803918600082397 (exact as a float).
  // Black over 204: b = float(204 x 0.498039186) = 101.59999084 -> 101.
  EXPECT_EQ(BlendOverChecker(0, 128, 204), 101);
  // Black over 255: b = float(126.99999243) = 126.99999237 -> 126.
  EXPECT_EQ(BlendOverChecker(0, 128, 255), 126);
  // White over 255: 255 x a = 128.00000757, + 126.99999237 = 254.99999994 -> 254.
  EXPECT_EQ(BlendOverChecker(255, 128, 255), 254);
  // Black at alpha 254 over 255: b = float(255 x 0.00392156839) = 0.99999994 -> 0.
  EXPECT_EQ(BlendOverChecker(0, 254, 255), 0);
  // 204 at alpha 37 over 204: a = 0.14509804546833038; 1 - a rounds to 0.85490196943283081, so
  // b = float(174.40000176) = 174.40000916, and 29.60000128 + 174.40000916 = 204.00001044 -> 204.
  // (Without rounding 1 - a first, b would be float(174.39999872) = 174.39999390 and the sum 203.99999.)
  EXPECT_EQ(BlendOverChecker(204, 37, 204), 204);
}

TEST(ComposeBitmapPixels, BottomRowFirstInBlueGreenRedOverTheChecker) {
  const int32_t width = 9, height = 8, bitmapWidth = 12;
  std::vector<uint8_t> view(width * height * 4, 0);  // all fully transparent black
  auto at = [&](int row, int column) { return &view[(row * width + column) * 4]; };
  uint8_t* opaque = at(1, 2);
  opaque[0] = 10, opaque[1] = 20, opaque[2] = 30, opaque[3] = 255;
  uint8_t* half = at(0, 8);
  half[0] = 0, half[1] = 0, half[2] = 0, half[3] = 128;
  std::vector<uint8_t> bitmap(bitmapWidth * height * 3, 0xEE);
  ComposeBitmapPixels(view.data(), width, bitmapWidth, height, bitmap.data());

  auto pixel = [&](int bitmapRow, int column) {
    const uint8_t* p = &bitmap[(bitmapRow * bitmapWidth + column) * 3];
    return std::vector<int>{p[0], p[1], p[2]};
  };
  // View row 0 is the last bitmap row.
  EXPECT_EQ(pixel(7, 0), (std::vector<int>{204, 204, 204}));
  EXPECT_EQ(pixel(7, 6), (std::vector<int>{204, 204, 204}));
  EXPECT_EQ(pixel(7, 7), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(pixel(0, 0), (std::vector<int>{255, 255, 255}));  // view row 7
  EXPECT_EQ(pixel(0, 7), (std::vector<int>{204, 204, 204}));
  EXPECT_EQ(pixel(6, 2), (std::vector<int>{30, 20, 10}));     // view row 1, opaque, reversed order
  EXPECT_EQ(pixel(7, 8), (std::vector<int>{126, 126, 126}));  // alpha 128 black over 255
  // The padding columns are left alone.
  EXPECT_EQ(pixel(7, 9), (std::vector<int>{0xEE, 0xEE, 0xEE}));
  EXPECT_EQ(pixel(0, 11), (std::vector<int>{0xEE, 0xEE, 0xEE}));
}

TEST(ComposeBitmapPixels, ANarrowerBitmapTakesOnlyItsColumnsAndRows) {
  // A 6 x 3 view into a 4 x 2 bitmap (the client shrank since the last sample).
  const int32_t width = 6;
  std::vector<uint8_t> view(width * 3 * 4, 0);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < width; ++column) {
      uint8_t* p = &view[(row * width + column) * 4];
      p[0] = static_cast<uint8_t>(row * 10 + column), p[1] = 1, p[2] = 2, p[3] = 255;
    }
  }
  std::vector<uint8_t> bitmap(4 * 2 * 3, 0xEE);
  ComposeBitmapPixels(view.data(), width, 4, 2, bitmap.data());
  EXPECT_EQ(bitmap, (std::vector<uint8_t>{2, 1, 10, 2, 1, 11, 2, 1, 12, 2, 1, 13,  //
                                          2, 1, 0,  2, 1, 1,  2, 1, 2,  2, 1, 3}));
}

TEST(SharedPreviewSource, ReadsTheSharedRecords) {
  const WholeImageRecord wholeBefore = WholeImage;
  const ReducedImageRecord reducedBefore = ReducedImage;
  const SaveOptionsRecord optionsBefore = SaveOptions;
  uint8_t rows[8] = {};
  WholeImage._WholeWidth = 2;
  WholeImage._WholeHeight = 1;
  WholeImage._WholePlanesIn = 4;
  ReducedImage.pixels = rows;
  ReducedImage.rowBytes = 8;
  ReducedImage.bytesPerPixel = 4;
  WholeImage._WholeMode = kWholeRgb;
  SaveOptions.pngType = 7;  // out of range: read as RGB, as the reduction reads it
  SaveOptions.alphaChannel = 0;
  SaveOptions.useKeyColor = 3;

  const PreviewSource source = SharedPreviewSource();
  EXPECT_EQ(source.pixels, rows);
  EXPECT_EQ(source.width, 2);
  EXPECT_EQ(source.height, 1);
  EXPECT_EQ(source.rowBytes, 8);
  EXPECT_EQ(source.bytesPerPixel, 4);
  EXPECT_EQ(source.pngType, kPngRgb);
  EXPECT_EQ(source.palette, Palette.entries);
  EXPECT_EQ(source.paletteAlpha, PaletteAlpha::kKeyed);  // as the writer states the palette

  SaveOptions.pngType = kPngGrayscale;
  EXPECT_EQ(SharedPreviewSource().pngType, kPngGrayscale);

  WholeImage = wholeBefore;
  ReducedImage = reducedBefore;
  SaveOptions = optionsBefore;
}

// 2-Up's original: each image mode read as the document has it, the row stride the image's own.
TEST(OriginalPreviewSource, ShowsEachModeAsTheDocumentHasIt) {
  uint8_t pixels[8] = {};
  WholeImageRecord image;
  image.pixels = pixels;
  image._WholeWidth = 2;
  image._WholeHeight = 1;

  image._WholeMode = kWholeRgb;
  image._WholePlanesIn = 4;
  image.rowStride = 8;
  PreviewSource source = OriginalPreviewSource(image, nullptr);
  EXPECT_EQ(source.pixels, pixels);
  EXPECT_EQ(source.rowBytes, 8);
  ExpectRgba(ColorOf(source, {5, 6, 7, 8}), 5, 6, 7, 8);

  image._WholeMode = kWholeGray;
  image._WholePlanesIn = 2;
  image.rowStride = 4;
  source = OriginalPreviewSource(image, nullptr);
  ExpectRgba(ColorOf(source, {3, 4}), 3, 3, 3, 4);

  // An indexed image through its own colours, its clear entry clear; without them, nothing to show.
  PaletteEntry colors[256] = {};
  colors[1] = PaletteEntry{40, 50, 60, 255, 0};
  colors[2] = PaletteEntry{70, 80, 90, 0, 0};
  image._WholeMode = kWholeIndexed;
  image._WholePlanesIn = 1;
  image.rowStride = 2;
  source = OriginalPreviewSource(image, colors);
  ExpectRgba(ColorOf(source, {1}), 40, 50, 60, 255);
  ExpectRgba(ColorOf(source, {2}), 70, 80, 90, 0);
  EXPECT_EQ(OriginalPreviewSource(image, nullptr).pixels, nullptr);
}

TEST(PaneCaptions, NameThePictureAndSayItsSizeColoursAndQuality) {
  EXPECT_EQ(OriginalCaption(480000), "Original   480 KBytes");
  EXPECT_EQ(ResultCaption(6730, 16, "PSNR: 18.48 dB"), "Vexlorin   6.730 KBytes   16 colors   PSNR: 18.48 dB");
  EXPECT_EQ(ResultCaption(2999, 0, ""), "Vexlorin   2999 Bytes");
}

}  // namespace
