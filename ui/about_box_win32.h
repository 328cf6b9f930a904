#pragma once
// The About box: product name, version and a link to the maker's site.
#include <windows.h>

#include <cstdint>

class WebPageOpener;

// The about call of the host: sets up the toolkit, shows the box owned by the host's window, tears down.
void DoAbout(intptr_t hostWindow);

// The About box, owned by `owner`, over an open dialog whose toolkit is already set up (the header's About
// button). Its link opens the maker's page through `webPages`, the request owned by `pageOwner`, the main window
// of what the box is shown over.
void ShowAboutBox(HWND owner, HWND pageOwner, WebPageOpener& webPages);
