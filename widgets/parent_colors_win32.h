#pragma once
// A plain window that holds static text of its own (the status bar and its readout) hands the text's colour
// question to its own parent, so that the text looks like every other caption of the dialog.
#include <windows.h>

// False when the window could not be subclassed; its children then keep the system's colours.
bool ForwardChildColorsToParent(HWND container);
