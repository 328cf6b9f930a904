#pragma once
// The DPI a window is drawn at: its monitor's under per-monitor awareness, the system's otherwise.
#include <windows.h>

#include <cstdint>

// GetDpiForWindow where the system has it (looked up at run time: older systems lack it), else the screen's
// LOGPIXELSX; 96 when neither answers.
int32_t DpiOfWindow(HWND window);
