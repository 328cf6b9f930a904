#include "widgets/preview_zoom.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <vector>

#include "base/row_bands.h"

namespace {

constexpr double kTenthsPerUnit = 1000.0;
// Below this many image pixels a view is scaled on the dialog's thread alone: starting threads would cost more.
constexpr int64_t kPixelsWorthThreads = 1 << 20;

// The image pixel a scaled coordinate starts in (floor, so that scale 1 is the identity and whole scales repeat).
int32_t ImageStart(int64_t scaled, double scale) { return static_cast<int32_t>(std::floor(scaled / scale)); }

// The image pixels a scaled pixel covers, cut to the image: [first, end).
struct Span {
  int32_t first = 0;
  int32_t end = 0;
};
Span SpanOf(int64_t scaled, double scale, int32_t size) {
  const int32_t first = ImageStart(scaled, scale);
  const int32_t end = scale < 1 ? ImageStart(scaled + 1, scale) : first + 1;
  return Span{std::max(first, 0), std::min(end, size)};
}

void Put(const PreviewColor& color, uint8_t* out) {
  out[0] = color.red;
  out[1] = color.green;
  out[2] = color.blue;
  out[3] = color.alpha;
}

const uint8_t* PixelAt(const PreviewSource& source, int32_t x, int32_t y) {
  return source.pixels + static_cast<size_t>(y) * static_cast<size_t>(source.rowBytes) +
         static_cast<size_t>(x) * static_cast<size_t>(source.bytesPerPixel);
}

// The premultiplied sums of the image pixels one view pixel covers.
struct PixelSums {
  uint64_t alpha = 0;
  uint64_t red = 0;
  uint64_t green = 0;
  uint64_t blue = 0;

  void Add(const PreviewColor& color) {
    alpha += color.alpha;
    red += static_cast<uint32_t>(color.red) * color.alpha;
    green += static_cast<uint32_t>(color.green) * color.alpha;
    blue += static_cast<uint32_t>(color.blue) * color.alpha;
  }
  PreviewColor Average(uint64_t count) const {
    PreviewColor average;
    if (count == 0 || alpha == 0) return average;
    average.alpha = static_cast<uint8_t>((alpha + count / 2) / count);
    average.red = static_cast<uint8_t>((red + alpha / 2) / alpha);
    average.green = static_cast<uint8_t>((green + alpha / 2) / alpha);
    average.blue = static_cast<uint8_t>((blue + alpha / 2) / alpha);
    return average;
  }
};

// Rows [first, end) of a view below 100 %, each the averages of the image rows and columns it covers: each image
// row's pixels are read once, in order, and summed column span by column span.
void AverageRows(const PreviewSource& source, const std::vector<Span>& columns, double scale, int32_t originY,
                 int32_t width, int32_t first, int32_t end, uint8_t* viewPixels) {
  const int32_t left = columns.front().first;
  const int32_t right = std::max(columns.back().end, left);
  const PreviewRowReader reader(source);
  std::vector<PreviewColor> colors(static_cast<size_t>(right - left));
  std::vector<PixelSums> sums(columns.size());
  for (int32_t i = first; i < end; ++i) {
    const Span rows = SpanOf(static_cast<int64_t>(originY) + i, scale, source.height);
    if (rows.end <= rows.first || colors.empty()) continue;
    std::fill(sums.begin(), sums.end(), PixelSums{});
    for (int32_t y = rows.first; y < rows.end; ++y) {
      reader.Read(PixelAt(source, left, y), static_cast<int32_t>(colors.size()), colors.data());
      for (size_t j = 0; j < columns.size(); ++j) {
        PixelSums span;
        for (int32_t x = columns[j].first; x < columns[j].end; ++x) span.Add(colors[x - left]);
        sums[j].alpha += span.alpha;
        sums[j].red += span.red;
        sums[j].green += span.green;
        sums[j].blue += span.blue;
      }
    }
    uint8_t* out = viewPixels + static_cast<size_t>(i) * static_cast<size_t>(width) * 4;
    const auto height = static_cast<uint64_t>(rows.end - rows.first);
    for (size_t j = 0; j < columns.size(); ++j, out += 4) {
      if (columns[j].end <= columns[j].first) continue;
      Put(sums[j].Average(height * static_cast<uint64_t>(columns[j].end - columns[j].first)), out);
    }
  }
}

// Rows [first, end) of a view at 100 % or above, each image pixel repeated.
void RepeatRows(const PreviewSource& source, const std::vector<Span>& columns, double scale, int32_t originY,
                int32_t width, int32_t first, int32_t end, uint8_t* viewPixels) {
  for (int32_t i = first; i < end; ++i) {
    const Span rows = SpanOf(static_cast<int64_t>(originY) + i, scale, source.height);
    if (rows.end <= rows.first) continue;
    uint8_t* out = viewPixels + static_cast<size_t>(i) * static_cast<size_t>(width) * 4;
    for (size_t j = 0; j < columns.size(); ++j, out += 4) {
      if (columns[j].end > columns[j].first)
        Put(PreviewColorOf(source, PixelAt(source, columns[j].first, rows.first)), out);
    }
  }
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

int32_t ScaledSize(int32_t size, double scale) {
  if (size <= 0 || scale <= 0) return 0;
  // Fit's scale times the image's size may land a hair above the pane's size: that hair is no pixel.
  return static_cast<int32_t>(std::ceil(static_cast<double>(size) * scale - 1e-6));
}

PaneAxis PlaceAxis(int32_t origin, int32_t imageSize, double scale, int32_t paneSize) {
  const int32_t scaled = ScaledSize(imageSize, scale);
  PaneAxis axis;
  axis.shown = std::max(std::min(paneSize, scaled), 0);
  axis.origin = std::max(std::min(origin, scaled - paneSize), 0);
  axis.offset = std::max((paneSize - axis.shown) >> 1, 0);
  return axis;
}

int32_t OriginAbout(const PaneAxis& axis, int32_t pointer, double scale, double newScale, int32_t imageSize,
                    int32_t paneSize) {
  // The middle of the screen pixel under the pointer, in image pixels, lands under the pointer again.
  const double image = (axis.origin + (pointer - axis.offset) + 0.5) / scale;
  const int32_t newOffset = PlaceAxis(0, imageSize, newScale, paneSize).offset;
  return static_cast<int32_t>(std::lround(image * newScale - 0.5 - (pointer - newOffset)));
}

PaneLayout LayoutPanes(PreviewView view, int32_t width, int32_t height, int32_t imageWidth, int32_t imageHeight,
                       int32_t captionHeight, int32_t gap) {
  PaneLayout layout;
  if (view != kTwoUp) {
    layout.panes[0] = PaneRect{0, 0, width, height};
    return layout;
  }
  layout.count = 2;
  const PaneRect beside{0, 0, (width - gap) / 2, height - captionHeight};
  const PaneRect above{0, 0, width, (height - gap) / 2 - captionHeight};
  // Unbounded by 100 %, so that a small image too goes where it would show larger.
  const auto fit = [&](const PaneRect& pane) {
    if (imageWidth <= 0 || imageHeight <= 0) return 0.0;
    return std::min(static_cast<double>(pane.width) / imageWidth, static_cast<double>(pane.height) / imageHeight);
  };
  const bool stacked = fit(above) > fit(beside);
  const PaneRect pane = stacked ? above : beside;
  for (int k = 0; k < 2; ++k) {
    PaneRect& placed = layout.panes[k];
    placed = pane;
    if (stacked) {
      placed.y = k * (pane.height + captionHeight + gap);
    } else {
      placed.x = k * (pane.width + gap);
    }
    layout.captions[k] = PaneRect{placed.x, placed.y + placed.height, placed.width, captionHeight};
  }
  return layout;
}

void ScaleView(const PreviewSource& source, double scale, int32_t originX, int32_t originY, int32_t width,
               int32_t height, uint8_t* viewPixels) {
  if (source.pixels == nullptr || source.bytesPerPixel < 1 || viewPixels == nullptr || scale <= 0 || width <= 0 ||
      height <= 0)
    return;
  std::vector<Span> columns(static_cast<size_t>(width));
  for (int32_t j = 0; j < width; ++j) columns[j] = SpanOf(static_cast<int64_t>(originX) + j, scale, source.width);
  const bool averaged = scale < 1;
  const auto rows = [&](int32_t, int32_t first, int32_t end) {
    if (averaged) {
      AverageRows(source, columns, scale, originY, width, first, end, viewPixels);
    } else {
      RepeatRows(source, columns, scale, originY, width, first, end, viewPixels);
    }
  };
  // The pixels read: every one the view covers below 100 %, one per view pixel above.
  const int64_t read = averaged ? static_cast<int64_t>(std::ceil(width / scale)) * std::ceil(height / scale)
                                : static_cast<int64_t>(width) * height;
  RowBands bands;
  bands.height = height;
  bands.threads = read >= kPixelsWorthThreads ? ReductionThreads() : 1;
  bands.bandRows = std::max(height / (bands.threads * 4), 1);
  if (bands.threads <= 1) {
    rows(0, 0, height);
    return;
  }
  RunRowBands(bands, rows, [](int32_t) { return true; });
}
