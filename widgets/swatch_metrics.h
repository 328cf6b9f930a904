#pragma once
// Where a colour swatch draws its frame, disabled inset, lock mark and focus cue: sizes designed for a 96-dpi
// screen, scaled with the DPI of the swatch's window. Free of Win32, so it is checked natively.
#include <cstdint>

// Pixel sizes of a swatch at one DPI; at 96 dpi the ones the swatch has always had.
struct SwatchMetrics {
  int32_t frame = 1;           // the frame's width, and the inner area's distance from every edge
  int32_t disabledInsetX = 4;  // a disabled swatch's colour, inset from the left and right edges
  int32_t disabledInsetY = 3;  // and from the top and bottom
  int32_t lockSide = 5;        // the lock mark's white square
  int32_t lockDot = 1;         // the red dot in its middle
};

SwatchMetrics SwatchMetricsForDpi(int32_t dpi);

// A rectangle of client pixels, right and bottom exclusive.
struct SwatchRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Inside the frame: the colour, the checkerboard and the focus cue.
SwatchRect SwatchInnerRect(const SwatchMetrics& metrics, int32_t width, int32_t height);
// The colour of a disabled swatch, which has no frame.
SwatchRect SwatchDisabledRect(const SwatchMetrics& metrics, int32_t width, int32_t height);
// The lock mark's square, in the bottom-right corner just inside the frame, and its dot.
SwatchRect LockSquareRect(const SwatchMetrics& metrics, int32_t width, int32_t height);
SwatchRect LockDotRect(const SwatchMetrics& metrics, int32_t width, int32_t height);
