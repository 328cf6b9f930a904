#pragma once
// Where the preview dialog's parts go: plain arithmetic, so it is tested without a window.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "widgets/artwork_scale.h"

struct LayoutRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const LayoutRect& other) const {
    return x == other.x && y == other.y && width == other.width && height == other.height;
  }
};

struct PreviewDialogLayout {
  LayoutRect preview;
  LayoutRect panel;
  LayoutRect statusBar;
  LayoutRect headerBar;
  LayoutRect progressBar;  // inside the status bar
  LayoutRect psnrReadout;  // inside the status bar, at its right, beside the size line
  // Above the preview, from its left: the zoom list and the view list, each after its label. A list's height is
  // that of its open drop-down; its closed box is as high as its font makes it.
  LayoutRect zoomLabel;
  LayoutRect zoom;
  LayoutRect viewLabel;
  LayoutRect view;
};

// How large the fixed parts are: the margins and the status bar are sizes for 96 dpi scaled to `dpi`; the header
// is as high as its strip bitmaps.
struct DialogScale {
  int32_t dpi = 96;
  int32_t headerHeight = 40;
};

// The children for a client area of width x height, with the options panel `panelWidth` wide.
PreviewDialogLayout LayoutPreviewDialog(int32_t width, int32_t height, int32_t panelWidth,
                                        const DialogScale& scale = DialogScale());

// Smallest outer size the user may drag the dialog to: room for the whole options panel (its template is
// panelWidth x panelHeight) between the header and the status bar, whose frame and caption take frameHeight.
LayoutRect MinimumTrackingSize(int32_t panelWidth, int32_t panelHeight, int32_t frameHeight,
                               const DialogScale& scale = DialogScale());

// The rectangle the dialog opens in when the options hold the default one: 800 x 600 at 96 dpi, larger on a
// denser screen. A rectangle the user left stays as stored (device pixels).
LayoutRect OpeningRectangle(const LayoutRect& stored, int32_t dpi);

// A window rectangle grown, from its top-left corner, to at least the minimum size.
LayoutRect EnlargedTo(const LayoutRect& window, const LayoutRect& minimum);

// One copy of part of a header strip bitmap: source column, destination column, width (40 rows high).
enum class StripPart { kLeft, kMiddle, kRight };
struct StripCopy {
  StripPart part;
  int32_t sourceX;
  int32_t destinationX;
  int32_t width;
  bool operator==(const StripCopy& other) const {
    return part == other.part && sourceX == other.sourceX && destinationX == other.destinationX && width == other.width;
  }
};
constexpr int32_t kStripLeftWidth = 597;
constexpr int32_t kStripRightWidth = 429;
constexpr int32_t kStripTileWidth = 101;
constexpr int32_t kStripHeight = 40;

// The header strip's bitmaps at one scale: the widths of the left and right parts and of a middle tile, the
// height, and the columns where the left part may end without cutting a word (ascending).
struct StripSizes {
  int32_t left;
  int32_t right;
  int32_t tile;
  int32_t height;
  const int* cuts;
  size_t cutCount;
  int32_t siteFromRight;  // where the web-site button sits, from the right edge
};
StripSizes StripSizesAt(ArtworkScale scale);

// How the header strip fills a client width: left part, middle tiles and right part when there is room,
// otherwise the right part keeping at least the panel's width, the left part cut after a whole word of its
// caption, and middle tiles between them.
std::vector<StripCopy> HeaderStripCopies(int32_t clientWidth, int32_t panelWidth,
                                         const StripSizes& sizes = StripSizesAt(ArtworkScale::k100));

// A saved window rectangle that would open on no screen is moved into the nearest work area (shrunk to fit).
LayoutRect KeepOnWorkArea(const LayoutRect& window, const LayoutRect& workArea);
