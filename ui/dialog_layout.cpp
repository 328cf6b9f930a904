#include "ui/dialog_layout.h"

#include <algorithm>

PreviewDialogLayout LayoutPreviewDialog(int32_t width, int32_t height, int32_t panelWidth) {
  PreviewDialogLayout layout;
  layout.preview = {30, 70, width - panelWidth - 30, height - 110};
  layout.panel = {width - panelWidth, 40, panelWidth, height - 80};
  layout.statusBar = {0, height - 40, width, 40};
  layout.headerBar = {0, 0, width, 40};
  layout.progressBar = {10, 10, width - 20, 20};
  return layout;
}

LayoutRect MinimumTrackingSize(int32_t panelWidth) { return {0, 0, panelWidth + 280, 320}; }

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
  copies.push_back({StripPart::kLeft, 0, 0, clientWidth - right});
  copies.push_back({StripPart::kRight, kStripRightWidth - right, clientWidth - right, right});
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
