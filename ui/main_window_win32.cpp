#include "ui/main_window_win32.h"

HWND mainWindow = nullptr;
