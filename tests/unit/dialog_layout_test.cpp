// Placement of the preview dialog's parts and of its header strip.
#include "ui/dialog_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "resources/art/header_strip_cuts.h"

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
