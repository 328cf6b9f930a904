#pragma once
// Median-cut palette for the Palette type: the process-wide Palette and the colour map the pixels are matched
// against, built from WholeImage for SaveOptions. Thin over the stages in color_sample, box_cut and palette_order.
#include <cstdint>

#include "records/color_map.h"

// New colour map (caller owns it, release with delete[]), or null; on success Palette's first n entries,
// count and built count are filled.
AColorHistEntry* CreateColorPalette();
// Orders Palette entries and colour-map entries together by decreasing alpha (stable).
void SortPaletteByAlpha(AColorHistEntry* colorMap, int32_t count);
// Makes the last entry in use transparent where transparency is kept and swaps marked entries back into range.
void FixupPalette();
