#include "ui/dialog_layout.h"

#include <algorithm>
#include <iterator>

#include "records/save_options.h"
#include "resources/art/header_strip_cuts.h"
#include "widgets/dpi_scale.h"

PreviewDialogLayout LayoutPreviewDialog(int32_t width, int32_t height, int32_t panelWidth, const DialogScale& scale) {
  const auto at = [&scale](int32_t pixels) { return ScaledForDpi(pixels, scale.dpi); };
  const int32_t header = scale.headerHeight;
  const int32_t status = at(40);
  PreviewDialogLayout layout;
  layout.preview = {at(30), header + at(30), width - panelWidth - at(30), height - header - at(30) - status};
  layout.panel = {width - panelWidth, header, panelWidth, height - header - status};
  layout.statusBar = {0, height - status, width, status};
  layout.headerBar = {0, 0, width, header};
  layout.progressBar = {at(10), at(10), width - at(20), at(20)};
  // Its text starts on the size line's line, so it is as high as the bar; the size line keeps the left.
  layout.psnrReadout = {width - at(170), 0, at(150), status - at(4)};
  // In the margin above the preview, which keeps its place and size.
  const int32_t listTop = header + at(4);
  const int32_t labelTop = header + at(7);
  layout.zoomLabel = {at(30), labelTop, at(36), at(16)};
  layout.zoom = {at(68), listTop, at(64), at(200)};
  layout.viewLabel = {at(146), labelTop, at(32), at(16)};
  layout.view = {at(180), listTop, at(56), at(200)};
  return layout;
}

LayoutRect MinimumTrackingSize(int32_t panelWidth, int32_t panelHeight, int32_t frameHeight, const DialogScale& scale) {
  // The header above the panel and the status bar below it.
  return {0, 0, panelWidth + ScaledForDpi(280, scale.dpi),
          std::max(ScaledForDpi(320, scale.dpi),
                   panelHeight + scale.headerHeight + ScaledForDpi(40, scale.dpi) + frameHeight)};
}

LayoutRect OpeningRectangle(const LayoutRect& stored, int32_t dpi) {
  const SaveOptionsRecord defaults;
  const bool isDefault = stored.x == defaults.windowLeft && stored.y == defaults.windowTop &&
                         stored.width == defaults.windowWidth && stored.height == defaults.windowHeight;
  if (!isDefault) return stored;
  return {stored.x, stored.y, ScaledForDpi(stored.width, dpi), ScaledForDpi(stored.height, dpi)};
}

LayoutRect EnlargedTo(const LayoutRect& window, const LayoutRect& minimum) {
  return {window.x, window.y, std::max(window.width, minimum.width), std::max(window.height, minimum.height)};
}

StripSizes StripSizesAt(ArtworkScale scale) {
  switch (scale) {
    case ArtworkScale::k150:
      return {kHeaderStripLeftWidth150, kHeaderStripRightWidth150,     kHeaderStripTileWidth150, kHeaderStripHeight150,
              kHeaderLeftCuts150,       std::size(kHeaderLeftCuts150), kHeaderSiteFromRight150};
    case ArtworkScale::k200:
      return {kHeaderStripLeftWidth200, kHeaderStripRightWidth200,     kHeaderStripTileWidth200, kHeaderStripHeight200,
              kHeaderLeftCuts200,       std::size(kHeaderLeftCuts200), kHeaderSiteFromRight200};
    case ArtworkScale::k100: break;
  }
  return {kStripLeftWidth,
          kStripRightWidth,
          kStripTileWidth,
          kStripHeight,
          kHeaderLeftCuts,
          std::size(kHeaderLeftCuts),
          199};
}

std::vector<StripCopy> HeaderStripCopies(int32_t clientWidth, int32_t panelWidth, const StripSizes& sizes) {
  std::vector<StripCopy> copies;
  if (clientWidth > sizes.left + sizes.right) {
    copies.push_back({StripPart::kLeft, 0, 0, sizes.left});
    const int32_t rightX = clientWidth - sizes.right;
    for (int32_t x = sizes.left; x < rightX; x += sizes.tile) {
      copies.push_back({StripPart::kMiddle, 0, x, std::min(sizes.tile, rightX - x)});
    }
    copies.push_back({StripPart::kRight, 0, rightX, sizes.right});
    return copies;
  }
  const int32_t right = std::max(clientWidth - sizes.left, panelWidth);
  const int32_t room = clientWidth - right;
  // The left part ends where no word of its caption is cut; plain tiles fill the rest of the room.
  int32_t left = room >= sizes.left ? sizes.left : 0;
  for (size_t i = 0; i < sizes.cutCount; ++i) {
    const int32_t cut = sizes.cuts[i];
    if (cut <= room && left < sizes.left) left = std::max(left, cut);
  }
  copies.push_back({StripPart::kLeft, 0, 0, left});
  for (int32_t x = left; x < room; x += sizes.tile) {
    copies.push_back({StripPart::kMiddle, 0, x, std::min(sizes.tile, room - x)});
  }
  copies.push_back({StripPart::kRight, sizes.right - right, room, right});
  return copies;
}

LayoutRect KeepOnWorkArea(const LayoutRect& window, const LayoutRect& workArea) {
  LayoutRect placed = window;
  placed.width = std::min(window.width, workArea.width);
  placed.height = std::min(window.height, workArea.height);
  placed.x = std::clamp(window.x, workArea.x, workArea.x + workArea.width - placed.width);
  placed.y = std::clamp(window.y, workArea.y, workArea.y + workArea.height - placed.height);
  return placed;
}
