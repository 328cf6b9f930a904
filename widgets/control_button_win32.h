#pragma once
// "Control Button CPP": a push button made only of bitmaps, one each for normal, hover and pressed. A click
// posts a command with the button's ID to its parent.
#include <windows.h>

#include <cstdint>

#include "widgets/gdi_owners_win32.h"
#include "widgets/window_class_win32.h"

inline constexpr wchar_t kControlButtonClass[] = L"Control Button CPP";

// Paints the button of `size`: `face` copied from its top-left corner, `background` where it does not
// reach (all of it for a missing face).
// The focus cue over it, `focusWidth` pixels wide, when that is above 0.
void PaintControlButton(HDC dc, SIZE size, HBITMAP face, HBRUSH background, int focusWidth = 0);

class ControlButton : public PaintedControl {
 public:
  enum State : std::uint8_t { kNormal = 0, kHover = 1, kPressed = 2 };
  enum Slot { kNormalBitmap = 0, kHoverBitmap, kPressedBitmap, kDisabledBitmap, kSlots };

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Loads each non-zero bitmap resource ID from the module that owns the window into its slot; 0 leaves the
  // slot unchanged.
  void SetBitmaps(int normal, int hover, int pressed, int disabled);
  HBITMAP Bitmap(Slot slot) const { return bitmaps_[slot].get(); }
  // The bitmap of the current state.
  HBITMAP Face() const;
  // Redraws at once (invalidate and update now).
  void Repaint();

  std::uint8_t state = kNormal;

 protected:
  bool PressesWithKeys() const override { return true; }
  void OnKeyPress() override;
  void OnCaptureLost() override;
  void Paint(HDC dc) const override;

 private:
  LRESULT OnPress();
  LRESULT OnMouseMove(WPARAM keys, POINT at);
  LRESULT OnRelease();

  gdi::BitmapOwner bitmaps_[kSlots];
};

// The class, registered by the preview dialog with the other toolkit classes and unregistered after it.
bool RegisterControlButtonClass();
void UnregisterControlButtonClass();
