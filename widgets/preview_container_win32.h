#pragma once
// The preview control: the reduced image as the PNG will show it, over a checkerboard, at a zoom (Fit or a step),
// centred when smaller than its pane and panned with the mouse when larger. In 2-Up it shows the original in a
// first pane and the result in a second, the same part of both at the same zoom, a caption under each. It asks its
// image sources for the pixels when told to re-sample; it never reduces anything itself.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/page_block.h"
#include "records/save_options.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/preview_pixels.h"
#include "widgets/preview_zoom.h"
#include "widgets/window_class_win32.h"

extern const wchar_t kPreviewContainerClass[];  // "Preview Contaner CPP"

class PreviewContainer : public PaintedControl {
 public:
  // One pane's picture: the visible part of its image at the zoom, and the bitmap made from it.
  struct Pane {
    PageBlock viewPixels;  // viewWidth x viewHeight x RGBA, top row first
    int32_t offsetX = 0;   // where the bitmap sits in the control
    int32_t offsetY = 0;
    PageBlock bitmapPixels;  // bitmapWidth x bitmapHeight x BGR, bottom row first
    gdi::BitmapOwner bitmap;
    // What viewPixels were scaled from and how: the original's are scaled again only when that changes.
    struct Sampling {
      const uint8_t* pixels = nullptr;
      double scale = 0;
      int32_t left = 0;
      int32_t top = 0;
      int32_t width = 0;
      int32_t height = 0;
      bool operator==(const Sampling& other) const {
        return pixels == other.pixels && scale == other.scale && left == other.left && top == other.top &&
               width == other.width && height == other.height;
      }
    } sampled;
  };

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Lays out the panes for the client size, places the image in them at the zoom (clamping the origin) and
  // rebuilds each pane's viewPixels from its source: the result's always (its rows may be new), the original's
  // where what it shows has changed. Does nothing while there is no image source.
  void Resample();
  // Rebuilds each pane's bitmap from its viewPixels.
  void Compose();
  // A new zoom (tenths of a percent, or kFitZoom), keeping the image point under client point `at` where it is, or
  // the one in the middle of the first pane; then resampled, composed and drawn.
  void ZoomAbout(int32_t newZoom, POINT at);
  void ZoomTo(int32_t newZoom);
  // One pane or two, the image point in the middle of the first pane staying in its middle; then drawn.
  void ShowView(PreviewView newView);

  std::function<PreviewSource()> imageSource;     // the result, set by the dialog that shows the control
  std::function<PreviewSource()> originalSource;  // the image before reduction, shown in 2-Up's first pane
  std::wstring captions[2];                       // under 2-Up's panes, set by that dialog
  int32_t zoom = kFullSizeZoom;                   // tenths of a percent, or kFitZoom
  PreviewView view = kOneUp;
  double scale = 1;        // screen pixels per image pixel, set by each re-sample
  PaneLayout layout;       // set by each re-sample
  int32_t viewWidth = 0;   // scaled image columns shown in each pane, set by each re-sample
  int32_t viewHeight = 0;  // and rows
  uint8_t mode = 0;        // 1: pan mode, the one mode this plug-in uses
  uint8_t dragging = 0;    // a mouse button is down
  int32_t lastX = 0;       // mouse position at the last button-down or drag step
  int32_t lastY = 0;
  int32_t dragDX = 0;  // how far the picture has moved since the button went down
  int32_t dragDY = 0;
  int32_t originX = 0;  // top-left of the visible part, in screen pixels of the scaled image from its top-left
  int32_t originY = 0;
  Pane panes[2];  // the result alone in 1-Up; the original, then the result, in 2-Up
  int32_t bitmapWidth = 0;
  int32_t bitmapHeight = 0;
  struct BitmapHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } bitmapHeader{};

 protected:
  // At rest each pane's bitmap at its offset, its padding columns hidden; while dragging, the whole of it moved
  // with the mouse; the diagonals where a pane has no bitmap; in 2-Up the captions.
  void Paint(HDC dc) const override;
  void OnResized() override { Resample(); }

 private:
  // The panes for the client size and the image's place in them at the zoom, the origin clamped.
  void Place(const PreviewSource& result);
  PreviewSource SourceOfPane(int pane) const;
  int32_t CaptionHeight() const;
  HFONT CaptionFont() const;
  void Redraw();
  LRESULT OnLeftButtonDown(POINT at);
  LRESULT OnMouseMove(WPARAM keys, POINT at);
  LRESULT OnLeftButtonUp();
  LRESULT OnRightButtonDown();
  LRESULT OnRightButtonUp();
  LRESULT OnFinalDestroy();
};

LRESULT CALLBACK PreviewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers "Preview Contaner CPP" with `background` (the shared colour RGB(232, 232, 232)) as its class brush.
// The class owns that brush from here on: Windows deletes a class brush when the class is unregistered, so
// pass one made for the class, never a handle that someone else also deletes.
bool RegisterPreviewContainerClass(HBRUSH background);
void UnregisterPreviewContainerClass();

// The preview control's object of dialog item `itemId`, or null when that item is no preview control.
PreviewContainer* GetPreviewContainer(HWND dialog, int itemId);
