#pragma once
// "Contaner Color CPP": a small framed rectangle of one colour. Clicked, it lets the user pick a new colour
// and tells its parent. As a palette cell (cellMode 4) a single click selects the cell instead and only a
// double click picks.
#include <windows.h>

#include <cstdint>

#include "base/callouts.h"
#include "widgets/swatch_look.h"
#include "widgets/window_class_win32.h"

inline constexpr wchar_t kColorSwatchClass[] = L"Contaner Color CPP";
inline constexpr uint8_t kPaletteCellMode = 4;

// Paints the whole swatch of `size` into `dc`: `background` everywhere, then the colour (framed when
// enabled, inset when disabled), the checkerboard or the blend over it, and the lock mark.
void PaintColorSwatch(HDC dc, SIZE size, const SwatchLook& look, HBRUSH background);

class ColorSwatch : public PaintedControl {
 public:
  ~ColorSwatch() override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Each stores its value and has the swatch painted again with its window's next paint.
  void SetColor(uint32_t value);
  void SetSelectedFrame(uint8_t flag);
  void SetLockMark(uint8_t flag);
  void SetAlpha(float value);
  void SetTransparentMark(uint8_t flag);  // also puts alpha back to 255
  void SetEnabled(uint8_t flag);          // also enables or disables the window
  void SetFocusCue(uint8_t flag);         // a palette cell shows the focus of the view it sits in
  void Repaint();
  SwatchLook Look() const;
  // Lets the user pick a new colour (the host's picker, else the system dialog) and tells the parent.
  void Pick();

  uint8_t hovered = 0;
  uint8_t enabled = 1;
  uint8_t cellMode = 0;  // kPaletteCellMode: palette cell; anything else: plain swatch
  uint8_t selectedFrame = 0;
  uint8_t lockMark = 0;
  uint8_t transparentMark = 0;
  uint8_t focusCue = 0;
  float alpha = 255.0f;
  uint32_t color = 0;              // 0x00BBGGRR
  COLORREF customColors[16] = {};  // the system dialog's custom colours, kept from one pick to the next
  // A holder's reference to this object, cleared when the object dies with its window, so that a
  // holder never keeps a dangling one. Null: nobody holds it.
  ColorSwatch** holder = nullptr;

 protected:
  // A plain swatch picks with Enter and Space; palette cells are reached through their view.
  bool PressesWithKeys() const override { return enabled != 0 && cellMode != kPaletteCellMode; }
  void OnKeyPress() override;
  void OnCaptureLost() override;
  void Paint(HDC dc) const override;

 private:
  LRESULT OnMouseMove(POINT at);
  LRESULT OnRelease();
  LRESULT OnDoubleClick();
  LRESULT OnEnable(bool on);
  LRESULT OnFinalDestroy();
};

LRESULT CALLBACK ContanerColorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The class with double clicks, the arrow cursor and a brush of the shared background colour that the
// class owns. False when Windows refuses.
bool RegisterColorSwatchClass();
void UnregisterColorSwatchClass();

// The swatch object of dialog item `itemId`, or null when that item is no colour swatch.
ColorSwatch* GetColorSwatch(HWND dialog, int itemId);
