#pragma once
// The preview's zoom, free of any window: the scale of a zoom, the next step up or down, where the image lies in
// a pane along one axis, the panes of one or two views, and the image as a pane shows it at a scale (averaged
// below 100 %, whole pixels repeated above).
#include <cstdint>

#include "records/save_options.h"
#include "widgets/preview_pixels.h"

// Screen pixels per image pixel at `zoom` (tenths of a percent, or kFitZoom) for an image in a pane of the given
// size.
double ScaleOf(int32_t zoom, int32_t imageWidth, int32_t imageHeight, int32_t paneWidth, int32_t paneHeight);

// The next step above or below the scale shown now (Ctrl+Plus, Ctrl+Minus, the wheel); the last step stays.
int32_t ZoomIn(double scale);
int32_t ZoomOut(double scale);

// How many screen pixels an image of `size` pixels takes at `scale`: a last partial pixel counts whole.
int32_t ScaledSize(int32_t size, double scale);

// Where the image lies along one axis of a pane, in screen pixels of the scaled image.
struct PaneAxis {
  int32_t origin = 0;  // the first scaled pixel shown: 0 while the image fits, else at most scaled size - pane
  int32_t shown = 0;   // scaled pixels shown: min(pane, scaled size)
  int32_t offset = 0;  // where they start in the pane: half the spare room (arithmetic shift) while it fits
};
PaneAxis PlaceAxis(int32_t origin, int32_t imageSize, double scale, int32_t paneSize);

// The origin at newScale that keeps the image point under pane coordinate `pointer` where it is (PlaceAxis may
// still move it, where the image no longer fills the pane).
int32_t OriginAbout(const PaneAxis& axis, int32_t pointer, double scale, double newScale, int32_t imageSize,
                    int32_t paneSize);

// The panes of a preview of width x height: one filling it, or two of one size, side by side or one above the
// other (whichever shows the image larger), each with a caption `captionHeight` high under it.
struct PaneRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};
struct PaneLayout {
  int32_t count = 1;
  PaneRect panes[2];
  PaneRect captions[2];  // empty for one pane
};
PaneLayout LayoutPanes(PreviewView view, int32_t width, int32_t height, int32_t imageWidth, int32_t imageHeight,
                       int32_t captionHeight, int32_t gap);

// Fills viewPixels (width x height, red, green, blue, alpha, top row first) with the scaled image from scaled pixel
// (originX, originY) on: below 100 % each view pixel is the average of the image pixels it covers, in
// premultiplied RGBA so that clear pixels do not darken edges; at 100 % and above each image pixel is repeated
// whole. View pixels outside the image are left as they are.
void ScaleView(const PreviewSource& source, double scale, int32_t originX, int32_t originY, int32_t width,
               int32_t height, uint8_t* viewPixels);
