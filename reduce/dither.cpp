#include "reduce/dither.h"

namespace {

constexpr int kRed = 0;
constexpr int kGreen = 1;
constexpr int kBlue = 2;
constexpr int kAlpha = 3;
constexpr int kChannels = 4;

// The 8 × 8 ordered-dither index matrix plus 1, by row then column.
constexpr float kPatternMatrix[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},    {49, 17, 57, 25, 51, 19, 59, 27}, {13, 45, 5, 37, 15, 47, 7, 39},
    {61, 29, 53, 21, 63, 31, 55, 23}, {4, 36, 12, 44, 2, 34, 10, 42},   {52, 20, 60, 28, 50, 18, 58, 26},
    {16, 48, 8, 40, 14, 46, 6, 38},   {64, 32, 56, 24, 62, 30, 54, 22},
};

inline int32_t Clamp(int32_t value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

inline int32_t NoiseOffset(DitherState& state) { return NoiseDraw(state) % 32 - 16; }

// One channel of the spread: half the error goes on (right and below), q goes to the row beneath.
inline void SpreadChannel(DitherState& state, int32_t x, int channel, int32_t error) {
  const int32_t half = error >> 1;
  const int32_t right = (7 * half) >> 3;
  const int32_t below = half - right;
  const int32_t down = (5 * (error - half)) >> 3;
  int32_t* row = state.errorRow;
  state.carry[channel] = right;
  if (x < state.width - 1) row[(x + 1) * kChannels + channel] = below;
  if (x == 0) {
    row[channel] = down;
  } else {
    row[x * kChannels + channel] += down;
    row[(x - 1) * kChannels + channel] += down;
  }
}

}  // namespace

bool AllocateErrorRow(DitherState& state, int32_t width) {
  FreeErrorRow(state);
  const size_t bytes = static_cast<size_t>(width < 0 ? 0 : width) * kChannels * sizeof(int32_t);
  state.errorBlock = PageBlock(bytes);
  if (bytes > 0 && !state.errorBlock) return false;
  state.errorRow = state.errorBlock.As<int32_t>();
  state.width = width;
  return true;
}

void FreeErrorRow(DitherState& state) {
  state.errorBlock.Reset();
  state.errorRow = nullptr;
  state.width = 0;
}

void StartDitherRow(DitherState& state) {
  for (int32_t& channel : state.carry) channel = 0;
}

void ResetNoise(DitherState& state) { state.noise = 0; }

int32_t NoiseDraw(DitherState& state) {
  state.noise = state.noise * 214013u + 2531011u;
  return static_cast<int32_t>((state.noise >> 16) & 0x7FFF);
}

void SkipNoiseDraws(DitherState& state, uint64_t draws) {
  // One draw is the map n -> a n + c (mod 2^32); the map of 2^k draws is that of 2^(k-1) applied twice.
  uint32_t multiplier = 214013u;
  uint32_t increment = 2531011u;
  for (; draws != 0; draws >>= 1) {
    if (draws & 1) state.noise = state.noise * multiplier + increment;
    increment = increment * multiplier + increment;
    multiplier = multiplier * multiplier;
  }
}

int32_t NoiseDrawsFor(const DitherAlphaRules& rules, int32_t alpha) {
  return rules.dither && !(rules.keepClearPixels && alpha == 0) ? 4 : 3;
}

int32_t PatternOffset(int32_t x, int32_t y) { return static_cast<int32_t>(kPatternMatrix[y & 7][x & 7] - 32.0f); }

void DitherPattern(int32_t x, int32_t y, const DitherAlphaRules& rules, DitherPixel& pixel) {
  const int32_t offset = PatternOffset(x, y);
  pixel.red = Clamp(pixel.red + offset);
  pixel.green = Clamp(pixel.green + offset);
  pixel.blue = Clamp(pixel.blue + offset);
  if (rules.dither && !(rules.keepClearPixels && pixel.alpha == 0)) pixel.alpha = Clamp(pixel.alpha + offset);
}

void DitherNoise(DitherState& state, const DitherAlphaRules& rules, DitherPixel& pixel) {
  // Separate statements: the draws must be taken red, green, blue in that order.
  pixel.red = Clamp(pixel.red + NoiseOffset(state));
  pixel.green = Clamp(pixel.green + NoiseOffset(state));
  pixel.blue = Clamp(pixel.blue + NoiseOffset(state));
  // A pixel passed over takes no draw, so the sequence of later pixels depends on it.
  if (NoiseDrawsFor(rules, pixel.alpha) == 4) pixel.alpha = Clamp(pixel.alpha + NoiseOffset(state));
}

void DiffuseBefore(const DitherState& state, int32_t x, bool ditherAlpha, DitherPixel& pixel) {
  const int32_t* error = state.errorRow + static_cast<size_t>(x) * kChannels;
  pixel.red = Clamp(pixel.red + state.carry[kRed] + error[kRed]);
  pixel.green = Clamp(pixel.green + state.carry[kGreen] + error[kGreen]);
  pixel.blue = Clamp(pixel.blue + state.carry[kBlue] + error[kBlue]);
  // Unlike Pattern and Noise, a clear pixel is not exempt here.
  if (ditherAlpha) pixel.alpha = Clamp(pixel.alpha + state.carry[kAlpha] + error[kAlpha]);
}

void DiffusePremultipliedBefore(const DitherState& state, int32_t x, bool ditherAlpha, DitherPixel& pixel) {
  const int32_t* error = state.errorRow + static_cast<size_t>(x) * kChannels;
  if (ditherAlpha) pixel.alpha = Clamp(pixel.alpha + state.carry[kAlpha] + error[kAlpha]);
  const auto within = [&pixel](int32_t value) { return value < 0 ? 0 : (value > pixel.alpha ? pixel.alpha : value); };
  pixel.red = within(pixel.red + state.carry[kRed] + error[kRed]);
  pixel.green = within(pixel.green + state.carry[kGreen] + error[kGreen]);
  pixel.blue = within(pixel.blue + state.carry[kBlue] + error[kBlue]);
}

void DiffuseAfter(DitherState& state, int32_t x, const DitherPixel& dithered, const DitherPixel& target,
                  bool ditherAlpha) {
  SpreadChannel(state, x, kRed, dithered.red - target.red);
  SpreadChannel(state, x, kGreen, dithered.green - target.green);
  SpreadChannel(state, x, kBlue, dithered.blue - target.blue);
  if (ditherAlpha) SpreadChannel(state, x, kAlpha, dithered.alpha - target.alpha);
}
