#pragma once
// The strip across the top of the preview dialog with its three bitmap buttons.
#include <windows.h>

HWND CreateHeaderBar(HWND dialog);
