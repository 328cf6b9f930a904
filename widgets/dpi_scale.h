#pragma once
// Sizes drawn for a 96-dpi screen, in the device pixels of a screen of another DPI.
#include <cstdint>

constexpr int32_t kBaseDpi = 96;

// Rounded to the nearest pixel, halves away from zero; exactly `pixels` at 96 dpi (and for a DPI that is not
// positive, which no screen reports).
int32_t ScaledForDpi(int32_t pixels, int32_t dpi);
