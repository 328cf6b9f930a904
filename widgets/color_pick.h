#pragma once
// How a colour swatch asks for a new colour without knowing who answers: the host side installs a picker
// of this type, the swatch calls it and falls back to the system colour dialog when it cannot pick.
// No Win32 here, so the host side can implement it in the portable core.
#include <cstdint>

enum class ColorPick {
  kPicked,       // *picked holds the new colour
  kUnchanged,    // the user cancelled or the picker failed: keep the colour
  kUnavailable,  // this picker cannot pick at all: try the next one
};

// Colours are 0x00BBGGRR, red in the low byte.
using HostColorPicker = ColorPick (*)(uint32_t initialColor, uint32_t* picked);

// The picker every swatch tries first; null (the default) or one answering kUnavailable sends the pick to
// the system colour dialog. The host side installs its colour services here before the dialog opens.
void SetHostColorPicker(HostColorPicker picker);
HostColorPicker InstalledHostColorPicker();
