#pragma once
// The preview's zoom, free of any window: the steps, the scale of Fit, where the image lies in a pane when zooming
// about a point, and the view of the image at a scale (averaged below 100 %, whole pixels repeated above).
#include <cstdint>

#include "widgets/preview_pixels.h"

// Zoom in tenths of a percent; 0 is Fit (the whole image in the pane, never enlarged beyond 100 %).
inline constexpr int32_t kFitZoom = 0;
inline constexpr int32_t kZoomSteps[] = {125, 250, 500, 667, 1000, 2000, 4000, 8000};

// Screen pixels per image pixel at `zoom` for an image in a pane of the given size.
double ScaleOf(int32_t zoom, int32_t imageWidth, int32_t imageHeight, int32_t paneWidth, int32_t paneHeight);

// The next step above or below the scale shown now (Ctrl+Plus, Ctrl+Minus, the wheel); the last step stays.
int32_t ZoomIn(double scale);
int32_t ZoomOut(double scale);

// Which part of the image a pane shows: the image point at the pane's top-left corner, and the scale.
struct PaneView {
  double scale = 1;
  double left = 0;
  double top = 0;
};

// The view at newScale that keeps the image point under the pane point (x, y) where it is.
PaneView ZoomedAbout(const PaneView& view, double newScale, double x, double y);

// Fills viewPixels (width x height, red, green, blue, alpha, top row first) with the image as the pane shows it:
// below 100 % each view pixel is the average of the image pixels it covers, in premultiplied RGBA so that clear
// pixels do not darken edges; at 100 % and above each image pixel is repeated whole. View pixels outside the
// image are left as they are.
void ScaleView(const PreviewSource& source, const PaneView& view, int32_t width, int32_t height, uint8_t* viewPixels);
