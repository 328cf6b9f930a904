#pragma once
// "ContainerLinkC": a line of text that acts as a hyperlink. Active, it is blue and underlined, shows the hand
// cursor and sends a command with its ID to its parent when clicked; inactive, it is bold black text.
#include <windows.h>

#include <cstdint>
#include <string>

#include "widgets/window_class_win32.h"

inline constexpr wchar_t kLinkClass[] = L"ContainerLinkC";

// Everything a paint depends on; fonts and brush already resolved to the shared ones where not overridden.
struct LinkPaint {
  const wchar_t* text = nullptr;
  bool active = false;
  bool leftAligned = false;
  HBITMAP backgroundBitmap = nullptr;  // copied from `source` instead of the brush fill, when set
  POINT source{0, 0};
  HBRUSH background = nullptr;
  HFONT font = nullptr;
  COLORREF color = RGB(0, 0, 0);
  bool focused = false;
  int32_t dpi = 96;  // of the link's screen: the focus cue's width follows it
};

// Paints the link of `size`: the background, then the text measured and drawn with a transparent background,
// at x = 0 or centred, and centred vertically; the focus cue when focused.
void PaintLinkText(HDC dc, SIZE size, const LinkPaint& paint);

class LinkText : public PaintedControl {
 public:
  static constexpr std::uint8_t kLookOnDialog = 5;  // text on the dialog background: the one look painted

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The paint inputs of the current settings.
  LinkPaint PaintInputs() const;
  void Repaint();

  std::u16string text;
  std::uint8_t look = 0;
  std::uint8_t active = 0;
  std::uint8_t leftAligned = 0;
  // Overrides of the shared look, none of which the plug-in's dialogs use; the bitmap and fonts are borrowed.
  std::uint8_t bitmapBackground = 0;
  HBITMAP backgroundBitmap = nullptr;
  POINT backgroundSource{0, 0};
  HFONT normalFont = nullptr;  // null: the shared bold font
  HFONT linkFont = nullptr;    // null: the shared underlined font
  std::uint8_t hasCustomColor = 0;
  COLORREF customColor = 0;

 protected:
  bool PressesWithKeys() const override { return active != 0; }
  void OnKeyPress() override;
  void Paint(HDC dc) const override;

 private:
  LRESULT OnMouseMove();
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT OnPress();
  LRESULT OnForwardCommand(WPARAM wParam, LPARAM lParam);
};

// The shared background brush, link fonts and hand cursor, and the class. Run before a dialog of the plug-in
// is shown; balanced by ReleaseLinkCommon after it has closed.
bool InitLinkCommon();
void ReleaseLinkCommon();

// Sets up dialog item `itemId` if it is a "ContainerLinkC": look on the dialog background, active and
// alignment flags, a copy of `text` (UTF-8), shared fonts and colours. Null for an item of another class.
LinkText* InitLink(HWND dialog, int itemId, const char* text, bool active, bool leftAligned);
