#include "widgets/swatch_metrics.h"

#include "widgets/dpi_scale.h"

SwatchMetrics SwatchMetricsForDpi(int32_t dpi) {
  const SwatchMetrics base;
  SwatchMetrics scaled;
  scaled.frame = ScaledForDpi(base.frame, dpi);
  scaled.disabledInsetX = ScaledForDpi(base.disabledInsetX, dpi);
  scaled.disabledInsetY = ScaledForDpi(base.disabledInsetY, dpi);
  scaled.lockSide = ScaledForDpi(base.lockSide, dpi);
  scaled.lockDot = ScaledForDpi(base.lockDot, dpi);
  return scaled;
}

SwatchRect SwatchInnerRect(const SwatchMetrics& metrics, int32_t width, int32_t height) {
  return SwatchRect{metrics.frame, metrics.frame, width - metrics.frame, height - metrics.frame};
}

SwatchRect SwatchDisabledRect(const SwatchMetrics& metrics, int32_t width, int32_t height) {
  return SwatchRect{metrics.disabledInsetX, metrics.disabledInsetY, width - metrics.disabledInsetX,
                    height - metrics.disabledInsetY};
}

SwatchRect LockSquareRect(const SwatchMetrics& metrics, int32_t width, int32_t height) {
  const int32_t right = width - metrics.frame;
  const int32_t bottom = height - metrics.frame;
  return SwatchRect{right - metrics.lockSide, bottom - metrics.lockSide, right, bottom};
}

SwatchRect LockDotRect(const SwatchMetrics& metrics, int32_t width, int32_t height) {
  const SwatchRect square = LockSquareRect(metrics, width, height);
  // Centred; where the square's side and the dot's differ by an odd count the extra pixel goes right and down.
  const int32_t margin = (metrics.lockSide - metrics.lockDot) / 2;
  return SwatchRect{square.left + margin, square.top + margin, square.left + margin + metrics.lockDot,
                    square.top + margin + metrics.lockDot};
}
