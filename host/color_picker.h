#pragma once
// The host's colour picker, offered to the colour swatches (which fall back to the system dialog).
#include <cstdint>

#include "base/callouts.h"

// Asks the host's colour services of the current call to choose a colour, starting from `initialColor`
// (0x00BBGGRR), with the prompt "Select a Color". kUnavailable when the host has no colour services;
// kUnchanged when it answers with an error (cancel included); else kPicked with the low bytes of the
// returned red, green and blue in *picked.
ColorPick PickColorThroughHost(uint32_t initialColor, uint32_t* picked);
