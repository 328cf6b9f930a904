// The preview's zoom without a window: views below 100 % average premultiplied pixels exactly, views above repeat
// whole pixels, Fit scales the whole image into the pane, and zooming about a point keeps it under the pointer.
#include "widgets/preview_zoom.h"

#include <gtest/gtest.h>

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
  source.pngType = 2;
  return source;
}

Bytes View(const PreviewSource& source, const PaneView& view, int32_t width, int32_t height) {
  Bytes pixels(static_cast<size_t>(width) * height * 4, 7);  // 7: untouched
  ScaleView(source, view, width, height, pixels.data());
  return pixels;
}

TEST(ScaleView, BelowFullSizeAveragesPremultipliedPixelsSoClearOnesDoNotDarkenEdges) {
  // 4 x 2: a 2 x 2 block of red and clear pixels, and a 2 x 2 block of four greys.
  const Bytes image = {255, 0, 0, 255, 0, 0, 0, 0, 10, 10, 10, 255, 20, 20, 20, 255,
                       255, 0, 0, 255, 0, 0, 0, 0, 30, 30, 30, 255, 41, 41, 41, 255};
  const Bytes half = View(RgbaSource(image, 4, 2), PaneView{0.5, 0, 0}, 2, 1);
  EXPECT_EQ(half, (Bytes{255, 0, 0, 128, 25, 25, 25, 255}));  // red at half alpha, not dark red; 101 / 4 rounded

  // A quarter of a 4 x 4 image in one pixel; past the image's right edge, nothing is written.
  Bytes grey(4 * 4 * 4, 0);
  for (size_t i = 0; i < grey.size(); i += 4)
    grey[i] = grey[i + 1] = grey[i + 2] = static_cast<uint8_t>(i), grey[i + 3] = 255;
  const Bytes quarter = View(RgbaSource(grey, 4, 4), PaneView{0.25, 0, 0}, 2, 1);
  EXPECT_EQ(Bytes(quarter.begin(), quarter.begin() + 4), (Bytes{30, 30, 30, 255}));  // (0 + 4 + ... + 60) / 16
  EXPECT_EQ(Bytes(quarter.begin() + 4, quarter.end()), (Bytes{7, 7, 7, 7}));
}

TEST(ScaleView, AboveFullSizeRepeatsWholePixelsAndLeavesWhatLiesOutsideTheImage) {
  const Bytes image = {1, 2, 3, 255, 4, 5, 6, 128};
  const Bytes doubled = View(RgbaSource(image, 2, 1), PaneView{2, 0, 0}, 4, 2);
  const Bytes row = {1, 2, 3, 255, 1, 2, 3, 255, 4, 5, 6, 128, 4, 5, 6, 128};
  EXPECT_EQ(Bytes(doubled.begin(), doubled.begin() + 16), row);
  EXPECT_EQ(Bytes(doubled.begin() + 16, doubled.end()), row);
  // Panned half a pixel left of the image: its first view pixels show nothing.
  const Bytes panned = View(RgbaSource(image, 2, 1), PaneView{2, -0.5, 0}, 2, 1);
  EXPECT_EQ(panned, (Bytes{7, 7, 7, 7, 1, 2, 3, 255}));
  // At 100 % every view pixel is its image pixel.
  EXPECT_EQ(View(RgbaSource(image, 2, 1), PaneView{1, 0, 0}, 2, 1), image);
}

TEST(Zoom, FitScalesTheWholeImageIntoThePaneNeverAboveFullSizeAndTheStepsGoBothWays) {
  EXPECT_DOUBLE_EQ(ScaleOf(kFitZoom, 6000, 4000, 600, 500), 0.1);
  EXPECT_DOUBLE_EQ(ScaleOf(kFitZoom, 4000, 6000, 600, 500), 500.0 / 6000);
  EXPECT_DOUBLE_EQ(ScaleOf(kFitZoom, 100, 50, 600, 500), 1.0);
  EXPECT_DOUBLE_EQ(ScaleOf(2000, 100, 50, 600, 500), 2.0);
  EXPECT_EQ(ZoomIn(1.0), 2000);
  EXPECT_EQ(ZoomIn(0.1), 125);   // from a Fit between steps: the next step up
  EXPECT_EQ(ZoomOut(0.1), 125);  // nothing below the smallest step
  EXPECT_EQ(ZoomOut(1.0), 667);
  EXPECT_EQ(ZoomIn(8.0), 8000);
}

TEST(Zoom, ZoomingAboutAPointKeepsTheImagePointUnderIt) {
  PaneView view{1, 120, 40};
  for (const int32_t zoom : {2000, 125, 667, 8000, 1000}) {
    const double x = 137, y = 59;
    const double imageX = view.left + x / view.scale;
    const double imageY = view.top + y / view.scale;
    view = ZoomedAbout(view, zoom / 1000.0, x, y);
    EXPECT_NEAR(view.left + x / view.scale, imageX, 1e-9) << zoom;
    EXPECT_NEAR(view.top + y / view.scale, imageY, 1e-9) << zoom;
  }
}

}  // namespace
