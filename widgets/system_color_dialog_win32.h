#pragma once
// The system colour dialog, for when the host offers no colour picker.
#include <windows.h>

#include <cstdint>

#include "base/callouts.h"

// Opens the dialog owned by `owner`, starting from `initialColor` (0x00BBGGRR) with `customColors` as its
// custom colour array (updated in place). kPicked with *picked set on a confirmed colour; kUnchanged when
// cancelled or when the dialog cannot be had.
ColorPick PickWithSystemColorDialog(HWND owner, uint32_t initialColor, COLORREF customColors[16], uint32_t* picked);
