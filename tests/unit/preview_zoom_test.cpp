// The preview's zoom without a window: views below 100 % average premultiplied pixels exactly, views above repeat
// whole pixels, the image's place in a pane, the panes of 2-Up, and zooming about the pointer keeping the image
// point under it.
#include "widgets/preview_zoom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

PreviewSource RgbaSource(const Bytes& pixels, int32_t width, int32_t height) {
  PreviewSource source;
  source.pixels = pixels.data();
  source.width = width;
  source.height = height;
  source.rowBytes = width * 4;
  source.bytesPerPixel = 4;
  source.pngType = kPngRgb;
  return source;
}

Bytes View(const PreviewSource& source, double scale, int32_t originX, int32_t width, int32_t height) {
  Bytes pixels(static_cast<size_t>(width) * height * 4, 7);  // 7: untouched
  ScaleView(source, scale, originX, 0, width, height, pixels.data());
  return pixels;
}

TEST(ScaleView, BelowFullSizeAveragesPremultipliedPixelsSoClearOnesDoNotDarkenEdges) {
  // 4 x 2: a 2 x 2 block of red and clear pixels, and a 2 x 2 block of four greys.
  const Bytes image = {255, 0, 0, 255, 0, 0, 0, 0, 10, 10, 10, 255, 20, 20, 20, 255,
                       255, 0, 0, 255, 0, 0, 0, 0, 30, 30, 30, 255, 41, 41, 41, 255};
  const Bytes half = View(RgbaSource(image, 4, 2), 0.5, 0, 2, 1);
  EXPECT_EQ(half, (Bytes{255, 0, 0, 128, 25, 25, 25, 255}));  // red at half alpha, not dark red; 101 / 4 rounded

  // A quarter of a 4 x 4 image in one pixel; past the image's right edge, nothing is written.
  Bytes grey(4 * 4 * 4, 0);
  for (size_t i = 0; i < grey.size(); i += 4)
    grey[i] = grey[i + 1] = grey[i + 2] = static_cast<uint8_t>(i), grey[i + 3] = 255;
  const Bytes quarter = View(RgbaSource(grey, 4, 4), 0.25, 0, 2, 1);
  EXPECT_EQ(Bytes(quarter.begin(), quarter.begin() + 4), (Bytes{30, 30, 30, 255}));  // (0 + 4 + ... + 60) / 16
  EXPECT_EQ(Bytes(quarter.begin() + 4, quarter.end()), (Bytes{7, 7, 7, 7}));

  // A palette file's pixels through their entries, a clear key entry weighing nothing.
  PaletteEntry entries[256] = {};
  entries[0] = PaletteEntry{200, 100, 0, 0, 0};
  entries[1] = PaletteEntry{40, 80, 120, 255, 0};
  const Bytes indices = {0, 1};
  PreviewSource palette;
  palette.pixels = indices.data();
  palette.width = 2;
  palette.height = 1;
  palette.rowBytes = 2;
  palette.bytesPerPixel = 1;
  palette.pngType = kPngPalette;
  palette.palette = entries;
  palette.paletteAlpha = PaletteAlpha::kKeyed;
  EXPECT_EQ(View(palette, 0.5, 0, 1, 1), (Bytes{40, 80, 120, 128}));

  // Large enough to be scaled in bands on several threads: every view pixel still the average of its 8 x 8.
  const int32_t side = 2048;
  Bytes large(static_cast<size_t>(side) * side * 4);
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      uint8_t* pixel = &large[(static_cast<size_t>(y) * side + x) * 4];
      pixel[0] = static_cast<uint8_t>(x / 8);
      pixel[1] = static_cast<uint8_t>(y / 8);
      pixel[2] = static_cast<uint8_t>((x % 8) * 16 + (y % 8) * 2);  // 0 .. 126, averaging 63
      pixel[3] = 255;
    }
  }
  const int32_t shown = side / 8;
  Bytes eighth(static_cast<size_t>(shown) * shown * 4);
  ScaleView(RgbaSource(large, side, side), 0.125, 0, 0, shown, shown, eighth.data());
  for (int32_t i = 0; i < shown; i += 37) {
    for (int32_t j = 0; j < shown; j += 41) {
      const uint8_t* pixel = &eighth[(static_cast<size_t>(i) * shown + j) * 4];
      EXPECT_EQ(Bytes(pixel, pixel + 4), (Bytes{static_cast<uint8_t>(j), static_cast<uint8_t>(i), 63, 255})) << i;
    }
  }
}

TEST(ScaleView, AboveFullSizeRepeatsWholePixelsAndLeavesWhatLiesOutsideTheImage) {
  const Bytes image = {1, 2, 3, 255, 4, 5, 6, 128};
  const Bytes doubled = View(RgbaSource(image, 2, 1), 2, 0, 4, 2);
  const Bytes row = {1, 2, 3, 255, 1, 2, 3, 255, 4, 5, 6, 128, 4, 5, 6, 128};
  EXPECT_EQ(Bytes(doubled.begin(), doubled.begin() + 16), row);
  EXPECT_EQ(Bytes(doubled.begin() + 16, doubled.end()), row);
  // From the second half of the first pixel on, at 400 %: three view pixels of it, then the second pixel.
  EXPECT_EQ(View(RgbaSource(image, 2, 1), 4, 1, 4, 1), (Bytes{1, 2, 3, 255, 1, 2, 3, 255, 1, 2, 3, 255, 4, 5, 6, 128}));
  // Past the image nothing is written; at 100 % every view pixel is its image pixel.
  EXPECT_EQ(View(RgbaSource(image, 2, 1), 2, 3, 2, 1), (Bytes{4, 5, 6, 128, 7, 7, 7, 7}));
  EXPECT_EQ(View(RgbaSource(image, 2, 1), 1, 0, 2, 1), image);
}

TEST(Zoom, FitScalesTheWholeImageIntoThePaneNeverAboveFullSizeAndTheStepsGoBothWays) {
  EXPECT_DOUBLE_EQ(ScaleOf(kFitZoom, 6000, 4000, 600, 500), 0.1);
  EXPECT_DOUBLE_EQ(ScaleOf(kFitZoom, 4000, 6000, 600, 500), 500.0 / 6000);
  EXPECT_DOUBLE_EQ(ScaleOf(kFitZoom, 100, 50, 600, 500), 1.0);
  EXPECT_DOUBLE_EQ(ScaleOf(2000, 100, 50, 600, 500), 2.0);
  // Fit's scaled image is never a pixel wider than the pane, though the product lands a hair above it.
  EXPECT_EQ(ScaledSize(6000, ScaleOf(kFitZoom, 6000, 4000, 601, 900)), 601);
  EXPECT_EQ(ScaledSize(4000, ScaleOf(kFitZoom, 6000, 4000, 601, 900)), 401);
  EXPECT_EQ(ScaledSize(3, 0.5), 2);  // a last half pixel counts
  EXPECT_EQ(ZoomIn(1.0), 2000);
  EXPECT_EQ(ZoomIn(0.1), 125);   // from a Fit between steps: the next step up
  EXPECT_EQ(ZoomOut(0.1), 125);  // nothing below the smallest step
  EXPECT_EQ(ZoomOut(1.0), 667);
  EXPECT_EQ(ZoomIn(8.0), 8000);
}

TEST(Zoom, TheImageIsCentredWhileItFitsAndKeptInsideThePaneWhileItDoesNot) {
  // At 100 %, as the preview always placed it: the origin at most image - pane, half the spare room as offset.
  const struct {
    int32_t origin, image, pane, placedOrigin, shown, offset;
  } kCases[] = {{500, 1000, 401, 500, 401, 0}, {600, 1000, 401, 599, 401, 0}, {-5, 1000, 401, 0, 401, 0},
                {30, 100, 300, 0, 100, 100},   {0, 100, 301, 0, 100, 100},    {0, 6, 20, 0, 6, 7}};
  for (const auto& c : kCases) {
    const PaneAxis axis = PlaceAxis(c.origin, c.image, 1.0, c.pane);
    EXPECT_EQ(axis.origin, c.placedOrigin) << c.origin << " " << c.image << " " << c.pane;
    EXPECT_EQ(axis.shown, c.shown);
    EXPECT_EQ(axis.offset, c.offset);
  }
  // At 200 % a 300-pixel image is 600 screen pixels: the origin stops at 600 - 401.
  EXPECT_EQ(PlaceAxis(5000, 300, 2.0, 401).origin, 199);
}

TEST(Zoom, ZoomingAboutThePointerKeepsTheImagePointUnderIt) {
  const int32_t image = 6000, pane = 700, pointer = 437;
  PaneAxis axis = PlaceAxis(2500, image, 1.0, pane);
  double scale = 1.0;
  for (const int32_t zoom : {2000, 8000, 4000, 667, 1000, 500}) {
    const double under = (axis.origin + pointer - axis.offset + 0.5) / scale;
    const double newScale = zoom / 1000.0;
    axis = PlaceAxis(OriginAbout(axis, pointer, scale, newScale, image, pane), image, newScale, pane);
    scale = newScale;
    // Within half a screen pixel of where it was.
    EXPECT_LE(std::fabs((axis.origin + pointer - axis.offset + 0.5) / scale - under), 0.5 / scale + 1e-9) << zoom;
  }
  // Zoomed out until the image fits, it is centred whatever the pointer.
  const PaneAxis fitted = PlaceAxis(OriginAbout(axis, pointer, scale, 0.1, image, pane), image, 0.1, pane);
  EXPECT_EQ(fitted.origin, 0);
  EXPECT_EQ(fitted.offset, 50);
}

TEST(Zoom, TwoUpPutsThePanesWhereTheImageShowsLargerEachWithItsCaption) {
  const PaneLayout one = LayoutPanes(kOneUp, 800, 500, 6000, 4000, 20, 8);
  EXPECT_EQ(one.count, 1);
  EXPECT_EQ(one.panes[0].width, 800);
  EXPECT_EQ(one.panes[0].height, 500);
  // A tall image side by side.
  const PaneLayout tall = LayoutPanes(kTwoUp, 800, 500, 3000, 4000, 20, 8);
  EXPECT_EQ(tall.count, 2);
  EXPECT_EQ(tall.panes[0].x, 0);
  EXPECT_EQ(tall.panes[1].x, 404);
  EXPECT_EQ(tall.panes[1].y, 0);
  EXPECT_EQ(tall.panes[1].width, 396);
  EXPECT_EQ(tall.panes[1].height, 480);
  EXPECT_EQ(tall.captions[1].y, 480);
  EXPECT_EQ(tall.captions[1].x, 404);
  // A wide one above each other: 800 x 226 shows it larger than 396 x 480 would.
  const PaneLayout wide = LayoutPanes(kTwoUp, 800, 500, 6000, 1000, 20, 8);
  EXPECT_EQ(wide.panes[0].width, 800);
  EXPECT_EQ(wide.panes[0].height, 226);
  EXPECT_EQ(wide.captions[0].y, 226);
  EXPECT_EQ(wide.panes[1].x, 0);
  EXPECT_EQ(wide.panes[1].y, 254);
  EXPECT_EQ(wide.captions[1].y, 480);
}

}  // namespace
