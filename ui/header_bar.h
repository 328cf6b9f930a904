#pragma once
// The strip across the top of the preview dialog with its three bitmap buttons.
#include <windows.h>

#include <cstdint>

// The strip is laid out around the options panel, `panelWidth` wide.
HWND CreateHeaderBar(HWND dialog, int32_t panelWidth);
