#pragma once
// The plug-in's main window: the preview dialog while it exists, else the host's window from the about call.
// What owns a request with no window of its own (a web page opened from the About box) falls back to it.
#include <windows.h>

extern HWND mainWindow;
