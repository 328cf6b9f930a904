#pragma once
// Moving a dialog's children to another DPI where the system leaves them as they were laid out: places, sizes
// and the fonts they share scaled from one DPI to the other.
#include <windows.h>

// A font like `font`, its height scaled from DPI `from` to `to`; null when there is no font to copy.
HFONT FontScaledLike(HFONT font, int from, int to);

// Scales the place and size of every window inside `parent`, at any depth, from DPI `from` to `to`, and gives
// each one that uses `oldFont` the font `newFont` (when both are given).
void RescaleChildren(HWND parent, int from, int to, HFONT oldFont, HFONT newFont);
