#pragma once
// The dialogs' common look, made once and lent to every control: the background brush, the link and
// button fonts, the hand cursor and the push-button skins. Controls borrow these handles and never delete
// them; each set lives from its first acquisition to its last release.
#include <windows.h>

#include "widgets/artwork_scale.h"

namespace shared {

constexpr COLORREF kBackgroundColor = RGB(232, 232, 232);

// Brush, link fonts and hand cursor (InitLinkCommon). False when one of them cannot be made; what was made
// stays until the matching release.
bool AcquireLinkLook();
void ReleaseLinkLook();
// The link fonts for a screen of `dpi` from now on (96 until then), while the look is acquired.
void ScaleLinkLook(int dpi);
HBRUSH BackgroundBrush();    // null while not acquired
HFONT LinkBoldFont();        // Arial 14, weight 700: inactive link text
HFONT LinkUnderlinedFont();  // Arial 14, weight 400, underlined: active links
HCURSOR HandCursor();

// Skin slot of each look of the push button, in the button's own state numbering.
enum SkinLook { kSkinNormal = 0, kSkinHover = 1, kSkinPressed = 2, kSkinDefault = 3, kSkinLooks = 4 };

struct ButtonSkins {
  HBITMAP left[kSkinLooks] = {};
  HBITMAP middle[kSkinLooks] = {};
  HBITMAP right[kSkinLooks] = {};
  int dpi = 96;                             // the screen they are shown on
  ArtworkScale scale = ArtworkScale::k100;  // the bitmaps' own scale, at or above it
};

// Button font and the twelve skins from `module` (InitMacStyleBtnCommon). A skin that cannot be loaded stays
// empty and its look blank; false only when the font cannot be made.
bool AcquireButtonLook(HINSTANCE module);
void ReleaseButtonLook();
// The font and skins for a screen of `dpi` from now on (96 until then), while the look is acquired; buttons
// take them at their next paint.
void ScaleButtonLook(HINSTANCE module, int dpi);
HFONT ButtonFont();  // Arial 14, weight 700
const ButtonSkins& MacStyleSkins();

// The module whose resources the toolkit loads: the plug-in, or the executable it is linked into for tests.
HINSTANCE ResourceModule();

// A class brush of the shared colour, owned by the class it is registered with: Windows deletes a class
// brush when the class is unregistered, so the shared brush itself is never handed to a class.
bool RegisterSharedLookClass(const wchar_t* name, UINT style, LPCWSTR cursor, WNDPROC procedure);
// The same for a system cursor written as IDC_ARROW and friends, which are integer IDs in either character set.
inline bool RegisterSharedLookClass(const wchar_t* name, UINT style, LPCSTR systemCursor, WNDPROC procedure) {
  return RegisterSharedLookClass(name, style, reinterpret_cast<LPCWSTR>(systemCursor), procedure);
}

}  // namespace shared
