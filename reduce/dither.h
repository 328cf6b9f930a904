#pragma once
// The dither methods applied to an RGB pixel before it is matched to the palette. One function per method,
// all over one DitherState that lives for one reduction run.
#include <cstddef>
#include <cstdint>

#include "base/page_block.h"

// A pixel on its way to the palette. Each dither step leaves every channel clamped to 0..255.
struct DitherPixel {
  int32_t red;
  int32_t green;
  int32_t blue;
  int32_t alpha;
};

// How the alpha channel takes part.
struct DitherAlphaRules {
  bool dither = false;           // transparency dithering is in force
  bool keepClearPixels = false;  // alphaChannel on: Pattern and Noise leave alpha 0 alone
};

// Error row and carry for Diffusion, the noise generator for Noise.
struct DitherState {
  PageBlock errorBlock;         // owns the error row
  int32_t* errorRow = nullptr;  // 4 per column (red, green, blue, alpha); zero-filled when allocated
  int32_t width = 0;
  int32_t carry[4] = {};
  uint32_t noise = 0;
};

// Zero-filled error row for width columns; false when the memory cannot be had.
bool AllocateErrorRow(DitherState& state, int32_t width);
void FreeErrorRow(DitherState& state);
// Carries never cross from one row to the next.
void StartDitherRow(DitherState& state);
void ResetNoise(DitherState& state);

// 0..32767; advances the generator.
int32_t NoiseDraw(DitherState& state);
// Advances the generator as `draws` draws would, in a few steps whatever the count: a band of rows starts
// where the rows before it left the sequence.
void SkipNoiseDraws(DitherState& state, uint64_t draws);
// The draws DitherNoise takes for a pixel of this alpha.
int32_t NoiseDrawsFor(const DitherAlphaRules& rules, int32_t alpha);
// -31..+32 for the 8 × 8 ordered matrix.
int32_t PatternOffset(int32_t x, int32_t y);

void DitherPattern(int32_t x, int32_t y, const DitherAlphaRules& rules, DitherPixel& pixel);
void DitherNoise(DitherState& state, const DitherAlphaRules& rules, DitherPixel& pixel);
// Adds the carry and the error stored for column x.
void DiffuseBefore(const DitherState& state, int32_t x, bool ditherAlpha, DitherPixel& pixel);
// DiffuseBefore for a premultiplied pixel: alpha first, then each colour, which is kept within 0 .. alpha (no
// premultiplied colour lies beyond its alpha).
void DiffusePremultipliedBefore(const DitherState& state, int32_t x, bool ditherAlpha, DitherPixel& pixel);
// Spreads the difference between the dithered pixel and its palette colour (target) to the right and below.
void DiffuseAfter(DitherState& state, int32_t x, const DitherPixel& dithered, const DitherPixel& target,
                  bool ditherAlpha);
