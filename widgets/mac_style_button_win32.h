#pragma once
// "MacStyleBtn": a text push button drawn from skin bitmaps (left cap, stretched middle, right cap) with
// normal, hover, pressed and default looks. A click posts a command with the button's ID to its parent.
#include <windows.h>

#include <cstdint>
#include <string>

#include "widgets/gdi_shared_win32.h"
#include "widgets/window_class_win32.h"

inline constexpr wchar_t kMacStyleBtnClass[] = L"MacStyleBtn";

// Everything a paint depends on besides the skins and the font.
struct MacStyleBtnLook {
  int state = 0;        // MacStyleBtn::State
  bool active = false;  // inactive buttons use the normal skins and grey text
  const wchar_t* caption = nullptr;
  bool focused = false;  // the focus cue over everything
};

// Paints the whole button of `size` into `dc`: skins of the state (normal ones when inactive), then the
// caption centred horizontally, 4 pixels from the top, and the focus cue when focused. A missing skin leaves
// its part on `background`.
void PaintMacStyleBtn(HDC dc, SIZE size, const MacStyleBtnLook& look, const shared::ButtonSkins& skins, HFONT font,
                      HBRUSH background);

class MacStyleBtn : public PaintedControl {
 public:
  enum State : std::uint8_t { kNormal = 0, kHover = 1, kPressed = 2, kDefault = 3 };

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The look at rest: default for the default button, normal otherwise.
  std::uint8_t RestState() const { return isDefault != 0 ? kDefault : kNormal; }
  // Redraws at once (invalidate and update now).
  void Repaint();

  std::u16string caption;  // empty: none
  int drawX = 0;
  int drawY = 0;
  std::uint8_t state = kNormal;
  std::uint8_t isDefault = 0;
  std::uint8_t active = 0;

 protected:
  bool PressesWithKeys() const override { return active != 0; }
  void OnKeyPress() override;
  void OnCaptureLost() override;
  void Paint(HDC dc) const override;

 private:
  LRESULT OnMouseMove(POINT at);
  LRESULT OnPress();
  LRESULT OnRelease();
  LRESULT OnForwardCommand(WPARAM wParam, LPARAM lParam);
};

// Button font and skins from the plug-in's resources, and the class. Balanced by ReleaseMacStyleBtnCommon
// after the dialog has closed.
bool InitMacStyleBtnCommon();
void ReleaseMacStyleBtnCommon();

// Sets up dialog item `itemId` if it is a "MacStyleBtn": default flag, state at rest, active, and the
// caption (UTF-8) when one is given. Null, and nothing changed, for an item of another class.
MacStyleBtn* InitMacStyleBtn(HWND dialog, int itemId, const char* caption, bool isDefault);
