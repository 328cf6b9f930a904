// The swatch's look in numbers: the selected frame's colour, the checkerboard, blending over it with the
// hover boost, the inner pixels and the palette grid's cell places.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "widgets/swatch_look.h"

namespace {

uint32_t Bgr(int red, int green, int blue) {
  return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}

// As a 32-bit DIB stores it.
uint32_t Dib(int red, int green, int blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

TEST(SelectedFramePenColor, InvertsAndLiftsAMiddleBlueTo255) {
  // Mid gray: the inverse blue 127 lies in 120..149.
  EXPECT_EQ(SelectedFramePenColor(0x808080), Bgr(127, 127, 255));
  EXPECT_EQ(SelectedFramePenColor(Bgr(10, 20, 135)), Bgr(245, 235, 255));  // inverse blue 120
  EXPECT_EQ(SelectedFramePenColor(Bgr(10, 20, 106)), Bgr(245, 235, 255));  // inverse blue 149
  EXPECT_EQ(SelectedFramePenColor(Bgr(10, 20, 136)), Bgr(245, 235, 119));
  EXPECT_EQ(SelectedFramePenColor(Bgr(10, 20, 105)), Bgr(245, 235, 150));
  // Only blue is lifted: red and green of 127 stay.
  EXPECT_EQ(SelectedFramePenColor(Bgr(128, 128, 0)), Bgr(127, 127, 255));
  EXPECT_EQ(SelectedFramePenColor(Bgr(0, 0, 0)), Bgr(255, 255, 255));
  EXPECT_EQ(SelectedFramePenColor(Bgr(255, 255, 255)), Bgr(0, 0, 0));
}

TEST(CheckerboardGray, ThreeByThreeBlocksStartingLightInTheTopLeft) {
  // 13 x 13 cell: inner 11 x 11, blocks of 3 x 3; pixels 10 and 11 make a fourth, narrower column.
  EXPECT_EQ(CheckerboardGray(1, 1, 13, 13), 255);
  EXPECT_EQ(CheckerboardGray(3, 3, 13, 13), 255);
  EXPECT_EQ(CheckerboardGray(4, 1, 13, 13), 204);
  EXPECT_EQ(CheckerboardGray(6, 3, 13, 13), 204);
  EXPECT_EQ(CheckerboardGray(7, 1, 13, 13), 255);
  EXPECT_EQ(CheckerboardGray(1, 4, 13, 13), 204);
  EXPECT_EQ(CheckerboardGray(4, 4, 13, 13), 255);
  EXPECT_EQ(CheckerboardGray(9, 9, 13, 13), 255);
  EXPECT_EQ(CheckerboardGray(10, 1, 13, 13), 204);
  EXPECT_EQ(CheckerboardGray(11, 11, 13, 13), 255);
  // 22 x 14: blocks of 6 x 4.
  EXPECT_EQ(CheckerboardGray(6, 4, 22, 14), 255);
  EXPECT_EQ(CheckerboardGray(7, 4, 22, 14), 204);
  EXPECT_EQ(CheckerboardGray(6, 5, 22, 14), 204);
  EXPECT_EQ(CheckerboardGray(7, 5, 22, 14), 255);
}

TEST(SwatchBlendFraction, AddsFiftyWhileHoveredUpTo255) {
  EXPECT_EQ(SwatchBlendFraction(0.0f, false), 0.0f);
  EXPECT_EQ(SwatchBlendFraction(0.0f, true), 50.0f / 255.0f);
  EXPECT_EQ(SwatchBlendFraction(100.0f, false), 100.0f / 255.0f);
  EXPECT_EQ(SwatchBlendFraction(100.0f, true), 150.0f / 255.0f);
  EXPECT_EQ(SwatchBlendFraction(240.0f, true), 1.0f);
  EXPECT_EQ(SwatchBlendFraction(255.0f, false), 1.0f);
}

TEST(BlendOverChecker, CutsTheCheckerPartThenTheSum) {
  const float hoverOnly = 50.0f / 255.0f;
  // 200 x 50/255 = 39.22; 255 x 205/255 = 205 (the single-precision rest lies just above 205/255).
  EXPECT_EQ(BlendOverChecker(200, 255, hoverOnly), 244);
  // 204 x 205/255 = 164.
  EXPECT_EQ(BlendOverChecker(200, 204, hoverOnly), 203);
  EXPECT_EQ(BlendOverChecker(0, 204, hoverOnly), 164);
  EXPECT_EQ(BlendOverChecker(10, 255, hoverOnly), 206);  // 1.96 + 205
  const float forty = 100.0f / 255.0f;
  EXPECT_EQ(BlendOverChecker(200, 255, forty), 233);  // 78.43 + 155
  EXPECT_EQ(BlendOverChecker(30, 204, forty), 135);   // 11.76 + 124
  // Nothing of the colour at 0, nothing of the checker at 1.
  EXPECT_EQ(BlendOverChecker(77, 204, 0.0f), 204);
  EXPECT_EQ(BlendOverChecker(77, 204, 1.0f), 77);
}

TEST(SwatchInnerPixels, PlainCheckerboardOrBlend) {
  SwatchLook look;
  look.color = Bgr(200, 0, 10);
  EXPECT_FALSE(SwatchInnerIsPatterned(look));
  std::vector<uint32_t> plain = SwatchInnerPixels(look, 5, 4);
  ASSERT_EQ(plain.size(), 6u);  // 3 x 2
  EXPECT_EQ(plain[0], Dib(200, 0, 10));
  EXPECT_EQ(plain[5], Dib(200, 0, 10));

  look.transparentMark = true;
  EXPECT_TRUE(SwatchInnerIsPatterned(look));
  std::vector<uint32_t> board = SwatchInnerPixels(look, 13, 13);
  ASSERT_EQ(board.size(), 121u);
  EXPECT_EQ(board[0], Dib(255, 255, 255));           // client (1, 1)
  EXPECT_EQ(board[3], Dib(204, 204, 204));           // client (4, 1)
  EXPECT_EQ(board[3 * 11 + 3], Dib(255, 255, 255));  // client (4, 4)

  // Alpha 0: the bare checkerboard; hovered: the colour at 50/255 over it.
  look.transparentMark = false;
  look.alpha = 0.0f;
  EXPECT_TRUE(SwatchInnerIsPatterned(look));
  std::vector<uint32_t> clear = SwatchInnerPixels(look, 13, 13);
  EXPECT_EQ(clear[0], Dib(255, 255, 255));
  EXPECT_EQ(clear[3], Dib(204, 204, 204));
  look.hovered = true;
  std::vector<uint32_t> hover = SwatchInnerPixels(look, 13, 13);
  // Red 200: 244 over light, 203 over dark. Green 0: 205 and 164. Blue 10: 1.96 + 205 = 206, 1.96 + 164 = 165.
  EXPECT_EQ(hover[0], Dib(244, 205, 206));
  EXPECT_EQ(hover[3], Dib(203, 164, 165));

  EXPECT_TRUE(SwatchInnerPixels(look, 2, 13).empty());
}

TEST(InsideClient, NegativeAndFarEdgesAreOutside) {
  EXPECT_TRUE(InsideClient(0, 0, 13, 13));
  EXPECT_TRUE(InsideClient(12, 12, 13, 13));
  EXPECT_FALSE(InsideClient(13, 5, 13, 13));
  EXPECT_FALSE(InsideClient(5, 13, 13, 13));
  EXPECT_FALSE(InsideClient(-1, 5, 13, 13));
  EXPECT_FALSE(InsideClient(5, -1, 13, 13));
}

TEST(PaletteCellPlace, SixteenBySixteenCellsFromTheTopLeft) {
  // The panel's 216 x 216 view: 13 x 13 cells covering 208 x 208.
  const CellPlace first = PaletteCellPlace(0, 216, 216);
  EXPECT_EQ(first.x, 0);
  EXPECT_EQ(first.y, 0);
  EXPECT_EQ(first.width, 13);
  EXPECT_EQ(first.height, 13);
  const CellPlace seventeenth = PaletteCellPlace(17, 216, 216);
  EXPECT_EQ(seventeenth.x, 13);
  EXPECT_EQ(seventeenth.y, 13);
  const CellPlace last = PaletteCellPlace(255, 216, 216);
  EXPECT_EQ(last.x, 195);
  EXPECT_EQ(last.y, 195);
  EXPECT_EQ(last.x + last.width, 208);
  // Width and height divide separately.
  const CellPlace wide = PaletteCellPlace(33, 320, 48);
  EXPECT_EQ(wide.width, 20);
  EXPECT_EQ(wide.height, 3);
  EXPECT_EQ(wide.x, 20);
  EXPECT_EQ(wide.y, 6);
}

}  // namespace
