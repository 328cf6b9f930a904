#pragma once
// Balloon tooltips with a fixed text for any control window.
#include <windows.h>

// Attaches a balloon tooltip showing `text` (UTF-8) under the whole client area of `control`, with `title`
// and the information icon when a title is given. Texts wider than 100 pixels wrap. The tooltip window
// belongs to the control and goes away with it. Returns the tooltip window, or null when the control or the
// text is missing or the tooltip can't be made.
HWND AddTooltip(HWND control, const char* text, const char* title);
