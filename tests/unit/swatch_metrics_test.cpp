// A colour swatch at other DPIs: the frame, the disabled inset, the lock mark and the checkerboard inside the
// frame scale with the swatch's window and stay exactly as they were at 96 dpi.
#include "widgets/swatch_metrics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "widgets/swatch_look.h"

namespace {

uint32_t Dib(int red, int green, int blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

void ExpectRect(const SwatchRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, bottom);
}

TEST(SwatchMetricsForDpi, KeepTheDesignAt96AndScaleToTheNearestPixel) {
  const SwatchMetrics at96 = SwatchMetricsForDpi(96);
  EXPECT_EQ(at96.frame, 1);
  EXPECT_EQ(at96.disabledInsetX, 4);
  EXPECT_EQ(at96.disabledInsetY, 3);
  EXPECT_EQ(at96.lockSide, 5);
  EXPECT_EQ(at96.lockDot, 1);

  // 125 % and 150 %: to the nearest pixel, halves up.
  EXPECT_EQ(SwatchMetricsForDpi(120).disabledInsetY, 4);  // 3.75
  EXPECT_EQ(SwatchMetricsForDpi(120).frame, 1);           // 1.25
  EXPECT_EQ(SwatchMetricsForDpi(144).frame, 2);           // 1.5

  const SwatchMetrics at192 = SwatchMetricsForDpi(192);
  EXPECT_EQ(at192.frame, 2);
  EXPECT_EQ(at192.disabledInsetX, 8);
  EXPECT_EQ(at192.disabledInsetY, 6);
  EXPECT_EQ(at192.lockSide, 10);
  EXPECT_EQ(at192.lockDot, 2);
}

TEST(SwatchRects, LockMarkSitsInTheCornerInsideTheFrameWithItsDotInTheMiddle) {
  // 96 dpi: the 5 x 5 square ends at (width - 1, height - 1), exclusive; the dot is (width - 4, height - 4).
  ExpectRect(LockSquareRect(SwatchMetricsForDpi(96), 13, 13), 7, 7, 12, 12);
  ExpectRect(LockDotRect(SwatchMetricsForDpi(96), 13, 13), 9, 9, 10, 10);
  // 192 dpi: a 10 x 10 square inside the 2-pixel frame and a 2 x 2 dot, four pixels from each side.
  ExpectRect(LockSquareRect(SwatchMetricsForDpi(192), 26, 26), 14, 14, 24, 24);
  ExpectRect(LockDotRect(SwatchMetricsForDpi(192), 26, 26), 18, 18, 20, 20);
  // 144 dpi: 8 x 8 and 2 x 2, three pixels from each side.
  ExpectRect(LockSquareRect(SwatchMetricsForDpi(144), 20, 20), 10, 10, 18, 18);
  ExpectRect(LockDotRect(SwatchMetricsForDpi(144), 20, 20), 13, 13, 15, 15);
}

TEST(SwatchFrameColor, SelectedThenHoveredThenBlack) {
  SwatchLook look;
  look.color = 0x808080;
  EXPECT_EQ(SwatchFrameColor(look), 0u);
  look.hovered = true;
  EXPECT_EQ(SwatchFrameColor(look), 0xFFFFFFu);
  look.selectedFrame = true;  // over hovering: the inverse, its middle blue lifted to 255
  EXPECT_EQ(SwatchFrameColor(look), 0xFF7F7Fu);
}

TEST(SwatchInnerPixels, At192DpiTheCheckerboardFillsTheAreaInsideTheWiderFrame) {
  SwatchLook look;
  look.transparentMark = true;
  look.dpi = 192;
  // 26 x 26: inner 22 x 22 from (2, 2), blocks of 7.
  const std::vector<uint32_t> board = SwatchInnerPixels(look, 26, 26);
  ASSERT_EQ(board.size(), 22u * 22u);
  EXPECT_EQ(board[0], Dib(255, 255, 255));           // client (2, 2)
  EXPECT_EQ(board[6], Dib(255, 255, 255));           // client (8, 2): last of the first block
  EXPECT_EQ(board[7], Dib(204, 204, 204));           // client (9, 2)
  EXPECT_EQ(board[7 * 22], Dib(204, 204, 204));      // client (2, 9)
  EXPECT_EQ(board[7 * 22 + 7], Dib(255, 255, 255));  // client (9, 9)
  EXPECT_EQ(CheckerboardGray(8, 2, 26, 26, 2), 255);
  EXPECT_EQ(CheckerboardGray(9, 2, 26, 26, 2), 204);

  // Too small to leave anything inside a 2-pixel frame.
  EXPECT_TRUE(SwatchInnerPixels(look, 4, 26).empty());
  EXPECT_EQ(SwatchInnerPixels(look, 5, 5).size(), 1u);
}

}  // namespace
