#pragma once
// Opens a web page in the user's browser on a worker thread, so the dialog never waits for the shell.
#include <windows.h>

extern const char kMakerHomePage[];
extern const char kMakerProductPage[];

// Does nothing while an earlier request is still with the shell. Without an owner the main window owns it.
void OpenUrl(const char* address, HWND owner);

// True while a request is with the shell.
bool OpenUrlBusy();
