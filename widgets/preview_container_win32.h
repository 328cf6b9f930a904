#pragma once
// The preview control: the reduced image as the PNG will show it, over a checkerboard, one image pixel per
// screen pixel, centred when smaller than the control and panned with the mouse when larger. It asks its image
// source for the reduced image when told to re-sample; it never reduces anything itself.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "base/page_block.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/preview_pixels.h"
#include "widgets/window_class_win32.h"

extern const wchar_t kPreviewContainerClass[];  // "Preview Contaner CPP"

class PreviewContainer : public PaintedControl {
 public:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Rebuilds viewPixels from the image source for the current origin (clamped into the image first) and
  // client size. Does nothing while previewZoom is 0 or less or while there is no image source.
  void Resample();
  // Rebuilds bitmapPixels and bitmap from viewPixels and centres a view smaller than the control.
  void Compose();

  std::function<PreviewSource()> imageSource;  // set by the dialog that shows the control
  float previewZoom = 0.0f;  // image pixels per preview pixel, set by that dialog; sampling waits while it is 0 or less
  int32_t viewWidth = 0;     // min(client width, image width), set by each re-sample
  int32_t viewHeight = 0;    // min(client height, image height)
  uint8_t mode = 0;          // 1: pan mode, the one mode this plug-in uses
  uint8_t dragging = 0;      // a mouse button is down
  int32_t lastX = 0;         // mouse position at the last button-down or drag step
  int32_t lastY = 0;
  int32_t dragDX = 0;  // how far the picture has moved since the button went down
  int32_t dragDY = 0;
  int32_t originX = 0;  // top-left of the visible part, in preview pixels from the image's top-left
  int32_t originY = 0;
  int32_t offsetX = 0;  // where the bitmap sits in the control
  int32_t offsetY = 0;
  PageBlock viewPixels;  // viewWidth x viewHeight x RGBA, top row first
  int32_t bitmapWidth = 0;
  int32_t bitmapHeight = 0;
  struct BitmapHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } bitmapHeader{};
  PageBlock bitmapPixels;  // bitmapWidth x bitmapHeight x BGR, bottom row first
  gdi::BitmapOwner bitmap;

 protected:
  // At rest the bitmap at its offset, its padding columns hidden; while dragging, the whole of it moved with the
  // mouse; the diagonals without a bitmap.
  void Paint(HDC dc) const override;
  void OnResized() override { Resample(); }

 private:
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
