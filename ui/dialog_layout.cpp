#include "ui/dialog_layout.h"

#include <algorithm>

#include "resources/art/header_strip_cuts.h"

PreviewDialogLayout LayoutPreviewDialog(int32_t width, int32_t height, int32_t panelWidth) {
  PreviewDialogLayout layout;
  layout.preview = {30, 70, width - panelWidth - 30, height - 110};
  layout.panel = {width - panelWidth, 40, panelWidth, height - 80};
  layout.statusBar = {0, height - 40, width, 40};
  layout.headerBar = {0, 0, width, 40};
  layout.progressBar = {10, 10, width - 20, 20};
  return layout;
}

LayoutRect MinimumTrackingSize(int32_t panelWidth, int32_t panelHeight, int32_t frameHeight) {
  // The header above the panel and the status bar below it take 40 pixels each.
  return {0, 0, panelWidth + 280, std::max(320, panelHeight + 80 + frameHeight)};
}

LayoutRect EnlargedTo(const LayoutRect& window, const LayoutRect& minimum) {
  return {window.x, window.y, std::max(window.width, minimum.width), std::max(window.height, minimum.height)};
}

std::vector<StripCopy> HeaderStripCopies(int32_t clientWidth, int32_t panelWidth) {
  std::vector<StripCopy> copies;
  if (clientWidth > kStripLeftWidth + kStripRightWidth) {
    copies.push_back({StripPart::kLeft, 0, 0, kStripLeftWidth});
    const int32_t rightX = clientWidth - kStripRightWidth;
    for (int32_t x = kStripLeftWidth; x < rightX; x += kStripTileWidth) {
      copies.push_back({StripPart::kMiddle, 0, x, std::min(kStripTileWidth, rightX - x)});
    }
    copies.push_back({StripPart::kRight, 0, rightX, kStripRightWidth});
    return copies;
  }
  const int32_t right = std::max(clientWidth - kStripLeftWidth, panelWidth);
  const int32_t room = clientWidth - right;
  // The left part ends where no word of its caption is cut; plain tiles fill the rest of the room.
  int32_t left = room >= kStripLeftWidth ? kStripLeftWidth : 0;
  for (const int cut : kHeaderLeftCuts) {
    if (cut <= room && left < kStripLeftWidth) left = std::max(left, static_cast<int32_t>(cut));
  }
  copies.push_back({StripPart::kLeft, 0, 0, left});
  for (int32_t x = left; x < room; x += kStripTileWidth) {
    copies.push_back({StripPart::kMiddle, 0, x, std::min(kStripTileWidth, room - x)});
  }
  copies.push_back({StripPart::kRight, kStripRightWidth - right, room, right});
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
