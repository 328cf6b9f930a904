#pragma once
// The About box over an open dialog whose toolkit is already set up (the header's About button).
#include <windows.h>

void ShowAboutBox(HWND owner);
