#include "ui/main_window.h"

HWND mainWindow = nullptr;
