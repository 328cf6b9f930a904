#include "widgets/dpi_scale.h"

int32_t ScaledForDpi(int32_t pixels, int32_t dpi) {
  if (dpi <= 0 || dpi == kBaseDpi) return pixels;
  const int64_t scaled = static_cast<int64_t>(pixels) * dpi;
  const int64_t half = kBaseDpi / 2;
  return static_cast<int32_t>(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}
