#pragma once
// The options panel on the right of the preview dialog.
#include <windows.h>

// Creates the panel as a modeless child of the preview dialog.
HWND CreateOptionsPanel(HWND dialog);
