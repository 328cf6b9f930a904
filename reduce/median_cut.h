#pragma once
// Median-cut palette for the Palette type: builds Palette and the colour map the pixels are matched against.
#include <cstdint>

#include "reduce/color_hash.h"

// The colours pixels are matched against, parallel to Palette; owned by the reduction while the palette is
// current (heap array of at least count + 1 entries), null while there is none.
extern AColorHistEntry* ColorMap;
void ReleaseColorMap();

// New colour map (caller owns it, release with delete[]), or null; on success Palette's first n entries,
// count and built count are filled.
AColorHistEntry* CreateColorPalette();
// Cuts the histogram into n boxes; new colour map of n + 1 entries (delete[]), or null when memory runs out.
AColorHistEntry* SplitColorBoxes(AColorHistEntry* histogram, int32_t colors, int32_t pixelTotal, int32_t maxval,
                                 int32_t wanted);
// Orders Palette entries and colour-map entries together by decreasing alpha (stable).
void SortPaletteByAlpha(AColorHistEntry* colorMap, int32_t count);
// Makes the last entry in use transparent where transparency is kept and swaps marked entries back into range.
void FixupPalette();
