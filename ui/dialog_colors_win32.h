#pragma once
// The colours every dialog of the plug-in answers its colour queries with.
#include <windows.h>

constexpr COLORREF kStaticTextColor = RGB(50, 55, 60);

// Static text in RGB(50, 55, 60) on a transparent background over the shared brush.
INT_PTR StaticTextColors(HDC dc);
