#pragma once
// The modal preview dialog: header, preview, options panel and status line.
#include <windows.h>

#include <cstdint>

// The plug-in's main window: the preview dialog while it exists, else the host's window from the about call.
extern HWND mainWindow;
// Client width of the options panel, taken when the panel is made; layout and minimum size use it.
extern int32_t panelWidth;

// Reduces, encodes and shows the result again; every option change ends with it.
void RefreshPreview();

// The preview dialog's procedure (exported by the 32-bit plug-in as _DissolveProc@16).
extern "C" INT_PTR CALLBACK DissolveProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
