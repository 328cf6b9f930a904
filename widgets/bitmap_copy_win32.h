#pragma once
// Copies of a bitmap onto a device context, one piece at a time, for the controls' paint routines.
#include <windows.h>

// Copies `width` x `height` pixels of `source` from (sourceX, sourceY) to (x, y). Nothing happens for a
// missing bitmap or an empty area.
void CopyBitmap(HDC target, int x, int y, int width, int height, HBITMAP source, int sourceX, int sourceY);

// Stretches the whole of `source` onto the rectangle at (x, y), `width` x `height`, pixel by pixel, or averaged
// (HALFTONE) for a picture shrunk to a smaller scale.
void StretchBitmap(HDC target, int x, int y, int width, int height, HBITMAP source, int mode = COLORONCOLOR);

// Width and height of a bitmap; 0 x 0 for a missing one.
SIZE BitmapSize(HBITMAP bitmap);
