// Placement of the preview dialog's parts and of its header strip.
#include <gtest/gtest.h>

#include <vector>

#include "ui/dialog_layout.h"

namespace {

TEST(LayoutPreviewDialog, PanelOnTheRightHeaderAndStatusAcrossTheWidth) {
  const PreviewDialogLayout layout = LayoutPreviewDialog(784, 562, 246);
  EXPECT_EQ(layout.preview, (LayoutRect{30, 70, 508, 452}));
  EXPECT_EQ(layout.panel, (LayoutRect{538, 40, 246, 482}));
  EXPECT_EQ(layout.statusBar, (LayoutRect{0, 522, 784, 40}));
  EXPECT_EQ(layout.headerBar, (LayoutRect{0, 0, 784, 40}));
  EXPECT_EQ(layout.progressBar, (LayoutRect{10, 10, 764, 20}));
  EXPECT_EQ(MinimumTrackingSize(246), (LayoutRect{0, 0, 526, 320}));
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
  // 700 wide: 103 columns of the right part would be narrower than the panel, so the panel's 246 win.
  EXPECT_EQ(HeaderStripCopies(700, 246),
            (std::vector<StripCopy>{{StripPart::kLeft, 0, 0, 454}, {StripPart::kRight, 183, 454, 246}}));
}

TEST(KeepOnWorkArea, MovesAWindowThatWouldOpenOffScreenBackIntoTheWorkArea) {
  const LayoutRect screen{0, 0, 1280, 1000};
  EXPECT_EQ(KeepOnWorkArea({100, 100, 800, 600}, screen), (LayoutRect{100, 100, 800, 600}));
  EXPECT_EQ(KeepOnWorkArea({5000, -3000, 800, 600}, screen), (LayoutRect{480, 0, 800, 600}));
  EXPECT_EQ(KeepOnWorkArea({-900, 200, 2000, 1200}, screen), (LayoutRect{0, 0, 1280, 1000}));
}

}  // namespace
