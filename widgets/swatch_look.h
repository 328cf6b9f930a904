#pragma once
// The arithmetic of a colour swatch's look and of the palette grid, kept free of Win32 so it is checked
// natively: the selected frame's colour, the checkerboard, alpha blending over it and cell placement.
#include <cstdint>
#include <vector>

#include "widgets/dpi_scale.h"

// Everything a swatch's paint depends on besides its size. Colours are 0x00BBGGRR, red in the low byte.
struct SwatchLook {
  bool enabled = true;
  bool hovered = false;
  bool selectedFrame = false;
  bool lockMark = false;
  bool transparentMark = false;
  float alpha = 255.0f;  // 0 transparent .. 255 opaque
  uint32_t color = 0;
  bool focused = false;    // the focus cue over everything
  int32_t dpi = kBaseDpi;  // of the swatch's window: the frame and the marks scale with it
};

constexpr uint8_t kCheckerLight = 255;
constexpr uint8_t kCheckerDark = 204;
constexpr int kHoverAlphaBoost = 50;

// The inverse of `color`, except that an inverse blue from 120 to 149 becomes 255, so the frame of a
// mid-gray cell stays visible against it.
uint32_t SelectedFramePenColor(uint32_t color);

// The frame's colour of an enabled swatch: the selected frame's, else white while hovered, else black.
uint32_t SwatchFrameColor(const SwatchLook& look);

// Gray of the 3 x 3 checkerboard at client pixel (x, y) of the inner area inside a frame `frame` pixels wide
// (frame..width-frame-1 x frame..height-frame-1); the top-left block is light. Pixels past the third block
// keep alternating.
uint8_t CheckerboardGray(int x, int y, int width, int height, int frame = 1);

// The opacity fraction a swatch blends its colour with: alpha, plus 50 while hovered, at most 255, over 255.
float SwatchBlendFraction(float alpha, bool hovered);

// One channel of the colour over a checkerboard gray at opacity `fraction`.
uint8_t BlendOverChecker(uint8_t channel, uint8_t checker, float fraction);

// True when the inner area is not the plain colour: a transparent mark or an alpha below 255.
bool SwatchInnerIsPatterned(const SwatchLook& look);

// The inner area's pixels (inside the frame of the look's DPI: width-2 x height-2 at 96 dpi, top row first,
// each 0x00RRGGBB as a 32-bit DIB stores them): the checkerboard, the colour blended over it, or the plain
// colour. Empty when the frame leaves no inner area.
std::vector<uint32_t> SwatchInnerPixels(const SwatchLook& look, int width, int height);

// True when (x, y) lies inside a client area of width x height.
bool InsideClient(int x, int y, int width, int height);

// Palette grid: 16 x 16 cells of (width / 16) x (height / 16) pixels, cell i at column i mod 16, row i / 16.
constexpr int kPaletteCells = 256;
constexpr int kPaletteColumns = 16;
struct CellPlace {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
CellPlace PaletteCellPlace(int index, int viewWidth, int viewHeight);
