#pragma once
// The strip across the top of the preview dialog with its three bitmap buttons.
#include <windows.h>

#include <cstdint>

#include "widgets/artwork_scale.h"

// The strip is laid out around the options panel, `panelWidth` wide, with its bitmaps at `scale`.
HWND CreateHeaderBar(HWND dialog, int32_t panelWidth, ArtworkScale scale);
