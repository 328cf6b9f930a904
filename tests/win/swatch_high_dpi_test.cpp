// A colour swatch painted for a 200 % screen is its 100 % picture with every pixel doubled: frame, disabled
// inset, checkerboard, blend and lock mark; the focus cue is a band two pixels wide just inside the frame.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/win/toolkit_test_support.h"
#include "widgets/color_swatch_win32.h"
#include "widgets/gdi_owners_win32.h"

namespace {

using toolkit_test::DibCanvas;
using toolkit_test::Rgb;

constexpr int kWidth96 = 14;  // an inner area of 12: whole checker blocks at both scales
constexpr int kHeight96 = 14;

// A swatch colour: 0x00BBGGRR.
uint32_t Bgr(int red, int green, int blue) {
  return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}

std::string At(int x, int y) { return "at (" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

// Paints `look` at 96 dpi and at 192 dpi on twice the size, and compares every pixel with its 96-dpi source.
void ExpectDoubled(SwatchLook look, const char* what) {
  SCOPED_TRACE(what);
  gdi::BrushOwner background(CreateSolidBrush(RGB(232, 232, 232)));
  DibCanvas at96(kWidth96, kHeight96);
  look.dpi = 96;
  PaintColorSwatch(at96.dc(), SIZE{kWidth96, kHeight96}, look, background.get());
  DibCanvas at192(2 * kWidth96, 2 * kHeight96);
  look.dpi = 192;
  PaintColorSwatch(at192.dc(), SIZE{2 * kWidth96, 2 * kHeight96}, look, background.get());
  int differing = 0;
  for (int y = 0; y < 2 * kHeight96; ++y) {
    for (int x = 0; x < 2 * kWidth96; ++x) {
      if (at192.Pixel(x, y) == at96.Pixel(x / 2, y / 2)) continue;
      if (++differing <= 3) ADD_FAILURE() << At(x, y);
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST(SwatchAt192Dpi, EveryLookIsTheNinetySixDpiPictureDoubled) {
  SwatchLook look;
  look.color = Bgr(200, 0, 10);
  ExpectDoubled(look, "plain, black frame");
  look.hovered = true;
  ExpectDoubled(look, "hovered, white frame");
  look.hovered = false;
  look.color = 0x808080;
  look.selectedFrame = true;
  ExpectDoubled(look, "selected frame");
  look.lockMark = true;
  ExpectDoubled(look, "lock mark");
  look.transparentMark = true;
  ExpectDoubled(look, "transparent mark with the lock");
  look.transparentMark = false;
  look.alpha = 0.0f;
  look.hovered = true;
  ExpectDoubled(look, "colour at 50/255 over the checkerboard");
  look.enabled = false;
  ExpectDoubled(look, "disabled inset");
}

TEST(SwatchAt192Dpi, TheFocusCueIsABandTwoPixelsWideInsideTheFrame) {
  SwatchLook look;
  look.dpi = 192;
  look.color = Bgr(200, 100, 50);
  DibCanvas plain(44, 28);
  PaintColorSwatch(plain.dc(), SIZE{44, 28}, look, nullptr);
  look.focused = true;
  DibCanvas focused(44, 28);
  PaintColorSwatch(focused.dc(), SIZE{44, 28}, look, nullptr);
  const auto changedInRow = [&](int y) {
    int changed = 0;
    for (int x = 4; x < 40; ++x) changed += focused.Pixel(x, y) != plain.Pixel(x, y) ? 1 : 0;
    return changed;
  };
  EXPECT_EQ(changedInRow(1), 0);  // the frame stays
  EXPECT_GT(changedInRow(2), 10);
  EXPECT_GT(changedInRow(3), 10);
  EXPECT_EQ(changedInRow(4), 0);
  EXPECT_EQ(changedInRow(14), 0);
}

}  // namespace
