#include "widgets/preview_zoom.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

namespace {

constexpr double kTenthsPerUnit = 1000.0;

// The image column or row a view coordinate falls on (which may lie outside the image).
int32_t ImageCoordinate(double origin, double viewCoordinate, double scale) {
  return static_cast<int32_t>(std::floor(origin + viewCoordinate / scale));
}

// The average of the pixels in [x0, x1) x [y0, y1), premultiplied while summed.
PreviewColor AverageOf(const PreviewSource& source, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  uint64_t alpha = 0;
  uint64_t channel[3] = {};
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* row = source.pixels + static_cast<size_t>(y) * static_cast<size_t>(source.rowBytes);
    for (int32_t x = x0; x < x1; ++x) {
      const PreviewColor color =
          PreviewColorOf(source, row + static_cast<size_t>(x) * static_cast<size_t>(source.bytesPerPixel));
      alpha += color.alpha;
      channel[0] += static_cast<uint64_t>(color.red) * color.alpha;
      channel[1] += static_cast<uint64_t>(color.green) * color.alpha;
      channel[2] += static_cast<uint64_t>(color.blue) * color.alpha;
    }
  }
  const uint64_t count = static_cast<uint64_t>(x1 - x0) * static_cast<uint64_t>(y1 - y0);
  PreviewColor average;
  if (count == 0 || alpha == 0) return average;
  average.alpha = static_cast<uint8_t>((alpha + count / 2) / count);
  average.red = static_cast<uint8_t>((channel[0] + alpha / 2) / alpha);
  average.green = static_cast<uint8_t>((channel[1] + alpha / 2) / alpha);
  average.blue = static_cast<uint8_t>((channel[2] + alpha / 2) / alpha);
  return average;
}

}  // namespace

double ScaleOf(int32_t zoom, int32_t imageWidth, int32_t imageHeight, int32_t paneWidth, int32_t paneHeight) {
  if (zoom != kFitZoom) return zoom / kTenthsPerUnit;
  if (imageWidth <= 0 || imageHeight <= 0 || paneWidth <= 0 || paneHeight <= 0) return 1;
  return std::min({static_cast<double>(paneWidth) / imageWidth, static_cast<double>(paneHeight) / imageHeight, 1.0});
}

int32_t ZoomIn(double scale) {
  for (const int32_t step : kZoomSteps) {
    if (step / kTenthsPerUnit > scale + 1e-9) return step;
  }
  return std::end(kZoomSteps)[-1];
}

int32_t ZoomOut(double scale) {
  for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step) {
    if (*step / kTenthsPerUnit < scale - 1e-9) return *step;
  }
  return kZoomSteps[0];
}

PaneView ZoomedAbout(const PaneView& view, double newScale, double x, double y) {
  PaneView zoomed;
  zoomed.scale = newScale;
  zoomed.left = view.left + x / view.scale - x / newScale;
  zoomed.top = view.top + y / view.scale - y / newScale;
  return zoomed;
}

void ScaleView(const PreviewSource& source, const PaneView& view, int32_t width, int32_t height, uint8_t* viewPixels) {
  if (source.pixels == nullptr || source.bytesPerPixel < 1 || viewPixels == nullptr || view.scale <= 0) return;
  const bool averaged = view.scale < 1;
  for (int32_t i = 0; i < height; ++i) {
    // The rows the view row covers: one above 100 %, all it spans below; cut to the image.
    const int32_t top = ImageCoordinate(view.top, i, view.scale);
    const int32_t y0 = std::max(top, 0);
    const int32_t y1 = std::min(averaged ? ImageCoordinate(view.top, i + 1, view.scale) : top + 1, source.height);
    if (y1 <= y0) continue;
    uint8_t* out = viewPixels + static_cast<size_t>(i) * static_cast<size_t>(width) * 4;
    for (int32_t j = 0; j < width; ++j, out += 4) {
      const int32_t left = ImageCoordinate(view.left, j, view.scale);
      const int32_t x0 = std::max(left, 0);
      const int32_t x1 = std::min(averaged ? ImageCoordinate(view.left, j + 1, view.scale) : left + 1, source.width);
      if (x1 <= x0) continue;
      const PreviewColor color = AverageOf(source, x0, x1, y0, y1);
      out[0] = color.red;
      out[1] = color.green;
      out[2] = color.blue;
      out[3] = color.alpha;
    }
  }
}
