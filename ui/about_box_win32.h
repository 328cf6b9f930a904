#pragma once
// The About box: product name, version and a link to the maker's site.
#include <windows.h>

#include <cstdint>

// The about call of the host: sets up the toolkit, shows the box owned by the host's window, tears down.
void DoAbout(intptr_t hostWindow);

// The About box over an open dialog whose toolkit is already set up (the header's About button).
void ShowAboutBox(HWND owner);
