// Placement of the preview dialog's parts and of its header strip.
#include "ui/dialog_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "resources/art/header_strip_cuts.h"
#include "widgets/dpi_scale.h"

namespace {

TEST(LayoutPreviewDialog, PanelOnTheRightHeaderAndStatusAcrossTheWidth) {
  const PreviewDialogLayout layout = LayoutPreviewDialog(784, 562, 246);
  EXPECT_EQ(layout.preview, (LayoutRect{30, 70, 508, 452}));
  EXPECT_EQ(layout.panel, (LayoutRect{538, 40, 246, 482}));
  EXPECT_EQ(layout.statusBar, (LayoutRect{0, 522, 784, 40}));
  EXPECT_EQ(layout.headerBar, (LayoutRect{0, 0, 784, 40}));
  EXPECT_EQ(layout.progressBar, (LayoutRect{10, 10, 764, 20}));
  // The panel, 595 high in a frame of 34, fits between the header and the status bar; a short one keeps 320.
  EXPECT_EQ(MinimumTrackingSize(246, 595, 34), (LayoutRect{0, 0, 526, 709}));
  EXPECT_EQ(MinimumTrackingSize(246, 100, 34), (LayoutRect{0, 0, 526, 320}));
  const PreviewDialogLayout least = LayoutPreviewDialog(526, 709 - 34, 246);
  EXPECT_EQ(least.panel.height, 595);
  EXPECT_EQ(least.panel.y + least.panel.height, least.statusBar.y);
}

TEST(LayoutPreviewDialog, DenserScreensScaleTheMarginsAndTheStatusBarAndTheHeaderFollowsItsStrip) {
  // 200 %: every 96-dpi size doubled; the header as high as the strip bitmaps in use.
  const PreviewDialogLayout layout = LayoutPreviewDialog(1600, 1200, 500, DialogScale{192, 80});
  EXPECT_EQ(layout.preview, (LayoutRect{60, 140, 1040, 980}));
  EXPECT_EQ(layout.panel, (LayoutRect{1100, 80, 500, 1040}));
  EXPECT_EQ(layout.statusBar, (LayoutRect{0, 1120, 1600, 80}));
  EXPECT_EQ(layout.headerBar, (LayoutRect{0, 0, 1600, 80}));
  EXPECT_EQ(layout.progressBar, (LayoutRect{20, 20, 1560, 40}));
  EXPECT_EQ(MinimumTrackingSize(500, 1190, 60, DialogScale{192, 80}), (LayoutRect{0, 0, 1060, 1410}));
  EXPECT_EQ(MinimumTrackingSize(500, 100, 60, DialogScale{192, 80}), (LayoutRect{0, 0, 1060, 640}));
  // 125 % with the 100 % header: halves round away from zero (40 x 1.25 = 50, 30 x 1.25 = 37.5 -> 38).
  const PreviewDialogLayout mid = LayoutPreviewDialog(1000, 750, 300, DialogScale{120, 40});
  EXPECT_EQ(mid.preview, (LayoutRect{38, 78, 662, 622}));
  EXPECT_EQ(mid.statusBar, (LayoutRect{0, 700, 1000, 50}));
}

TEST(LayoutPreviewDialog, TheZoomAndViewListsSitAboveThePreviewClearOfThePanelEvenAtTheLeastWidth) {
  for (const DialogScale scale : {DialogScale{96, 40}, DialogScale{144, 60}, DialogScale{192, 80}}) {
    const int32_t panelWidth = ScaledForDpi(246, scale.dpi);
    const LayoutRect least = MinimumTrackingSize(panelWidth, 100, 0, scale);
    const PreviewDialogLayout layout = LayoutPreviewDialog(least.width, least.height, panelWidth, scale);
    const LayoutRect parts[] = {layout.zoomLabel, layout.zoom, layout.viewLabel, layout.view};
    for (size_t k = 0; k < std::size(parts); ++k) {
      EXPECT_GE(parts[k].y, layout.headerBar.height) << scale.dpi << " " << k;
      EXPECT_GE(parts[k].x, layout.preview.x) << scale.dpi << " " << k;
      if (k > 0) {
        EXPECT_GE(parts[k].x, parts[k - 1].x + parts[k - 1].width) << scale.dpi << " " << k;
      }
    }
    EXPECT_LE(layout.view.x + layout.view.width, layout.panel.x) << scale.dpi;
    // A closed list is about as high as its font: 8 points, plus its frame, fits above the preview.
    EXPECT_LE(layout.zoom.y + ScaledForDpi(22, scale.dpi), layout.preview.y) << scale.dpi;
    EXPECT_LE(layout.zoomLabel.y + layout.zoomLabel.height, layout.preview.y) << scale.dpi;
  }
}

TEST(DpiScale, ExactAt96AndRoundedToTheNearestPixelElsewhere) {
  for (const int32_t pixels : {-7, 0, 1, 13, 40, 800}) EXPECT_EQ(ScaledForDpi(pixels, 96), pixels);
  EXPECT_EQ(ScaledForDpi(13, 120), 16);  // 16.25
  EXPECT_EQ(ScaledForDpi(13, 144), 20);  // 19.5, away from zero
  EXPECT_EQ(ScaledForDpi(-13, 144), -20);
  EXPECT_EQ(ScaledForDpi(800, 192), 1600);
  EXPECT_EQ(ScaledForDpi(600, 0), 600) << "no DPI reported: unscaled";
}

TEST(OpeningRectangle, TheDefaultRectangleScalesAndAStoredOneStaysInDevicePixels) {
  EXPECT_EQ(OpeningRectangle({100, 100, 800, 600}, 96), (LayoutRect{100, 100, 800, 600}));
  EXPECT_EQ(OpeningRectangle({100, 100, 800, 600}, 144), (LayoutRect{100, 100, 1200, 900}));
  EXPECT_EQ(OpeningRectangle({150, 120, 900, 650}, 192), (LayoutRect{150, 120, 900, 650}));
}

TEST(EnlargedTo, GrowsASmallRectangleFromItsCornerAndKeepsALargeOne) {
  const LayoutRect minimum{0, 0, 526, 709};
  EXPECT_EQ(EnlargedTo({100, 100, 800, 600}, minimum), (LayoutRect{100, 100, 800, 709}));
  EXPECT_EQ(EnlargedTo({-5, 7, 300, 900}, minimum), (LayoutRect{-5, 7, 526, 900}));
  EXPECT_EQ(EnlargedTo({1, 2, 1000, 800}, minimum), (LayoutRect{1, 2, 1000, 800}));
}

TEST(HeaderStripCopies, WideHeadersTileTheMiddleUpToTheRightPart) {
  // 1027: the smallest width with room for a middle; one tile of a single column.
  EXPECT_EQ(HeaderStripCopies(1027, 246),
            (std::vector<StripCopy>{
                {StripPart::kLeft, 0, 0, 597}, {StripPart::kMiddle, 0, 597, 1}, {StripPart::kRight, 0, 598, 429}}));
  // 1250: 224 columns between the parts, two whole tiles and one of 22.
  EXPECT_EQ(HeaderStripCopies(1250, 246), (std::vector<StripCopy>{{StripPart::kLeft, 0, 0, 597},
                                                                  {StripPart::kMiddle, 0, 597, 101},
                                                                  {StripPart::kMiddle, 0, 698, 101},
                                                                  {StripPart::kMiddle, 0, 799, 22},
                                                                  {StripPart::kRight, 0, 821, 429}}));
}

TEST(HeaderStripCopies, NarrowHeadersCutTheLeftPartAndKeepThePanelWidthOnTheRight) {
  EXPECT_EQ(HeaderStripCopies(1026, 246),
            (std::vector<StripCopy>{{StripPart::kLeft, 0, 0, 597}, {StripPart::kRight, 0, 597, 429}}));
  // 700 wide: 103 columns of the right part would be narrower than the panel, so the panel's 246 win. The left
  // part leaves 454 columns, in which its caption ends after "PALETTE *" (410); a tile fills the rest.
  EXPECT_EQ(HeaderStripCopies(700, 246),
            (std::vector<StripCopy>{
                {StripPart::kLeft, 0, 0, 410}, {StripPart::kMiddle, 0, 410, 44}, {StripPart::kRight, 183, 454, 246}}));
}

TEST(HeaderStripCopies, AtEveryScaleEveryWidthEndsTheLeftPartOnItsCutsAndFillsTheStripFromItsRightPart) {
  for (const ArtworkScale scale : {ArtworkScale::k150, ArtworkScale::k200}) {
    const StripSizes sizes = StripSizesAt(scale);
    const int32_t panel = ArtworkScaledSize(246, scale);
    EXPECT_EQ(sizes.height, ArtworkScaledSize(kStripHeight, scale));
    for (int32_t width = panel; width <= sizes.left + sizes.right + 3 * sizes.tile; ++width) {
      const std::vector<StripCopy> copies = HeaderStripCopies(width, panel, sizes);
      ASSERT_GE(copies.size(), 2u);
      const int32_t left = copies.front().width;
      const bool onACut = left == 0 || left == sizes.left ||
                          std::find(sizes.cuts, sizes.cuts + sizes.cutCount, left) != sizes.cuts + sizes.cutCount;
      ASSERT_TRUE(onACut) << width << ": the left part ends at " << left;
      int32_t x = 0;
      for (const StripCopy& copy : copies) {
        ASSERT_EQ(copy.destinationX, x) << width;
        const int32_t partWidth = copy.part == StripPart::kLeft    ? sizes.left
                                  : copy.part == StripPart::kRight ? sizes.right
                                                                   : sizes.tile;
        ASSERT_GE(copy.sourceX, 0) << width;
        ASSERT_LE(copy.sourceX + copy.width, partWidth) << width << ": a copy reads past its bitmap";
        x += copy.width;
      }
      ASSERT_EQ(x, width);
    }
  }
}

TEST(HeaderStripCopies, AtEveryNarrowWidthTheLeftPartEndsOnACutAndTheStripIsWhole) {
  // From the panel's width (the dialog is never narrower than the panel and 280 more) to the widest narrow one.
  for (int32_t width = 246; width <= 1026; ++width) {
    const std::vector<StripCopy> copies = HeaderStripCopies(width, 246);
    ASSERT_GE(copies.size(), 2u);
    const int32_t left = copies.front().width;
    const bool onACut =
        left == 0 || left == kStripLeftWidth ||
        std::find(std::begin(kHeaderLeftCuts), std::end(kHeaderLeftCuts), left) != std::end(kHeaderLeftCuts);
    EXPECT_TRUE(onACut) << width << ": the left part ends at " << left;
    // Piece by piece from column 0 to the right edge, without gap or overlap.
    int32_t x = 0;
    for (const StripCopy& copy : copies) {
      EXPECT_EQ(copy.destinationX, x) << width;
      x += copy.width;
    }
    EXPECT_EQ(x, width) << width;
  }
}

TEST(KeepOnWorkArea, MovesAWindowThatWouldOpenOffScreenBackIntoTheWorkArea) {
  const LayoutRect screen{0, 0, 1280, 1000};
  EXPECT_EQ(KeepOnWorkArea({100, 100, 800, 600}, screen), (LayoutRect{100, 100, 800, 600}));
  EXPECT_EQ(KeepOnWorkArea({5000, -3000, 800, 600}, screen), (LayoutRect{480, 0, 800, 600}));
  EXPECT_EQ(KeepOnWorkArea({-900, 200, 2000, 1200}, screen), (LayoutRect{0, 0, 1280, 1000}));
}

}  // namespace
