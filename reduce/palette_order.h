#pragma once
// What happens to a new colour map on its way into the palette: the copy, the order by alpha, and the fix-up
// that keeps the transparent entry last and the user's locked entries in range. Each works on the palette and
// the colour map it is given; the two tables move together entry by entry.
#include <cstdint>

#include "records/color_map.h"
#include "records/palette.h"

// Puts the first `count` colours into the palette's entries (marks untouched) and sets count and built count.
void CopyColorMapToPalette(const AColorHistEntry* colorMap, int32_t count, PaletteRecord& palette);

// The entries the user locked (marked) in a palette, lowest index first, colour and alpha as the entries hold them.
struct LockedColors {
  PaletteEntry entries[256] = {};
  int32_t count = 0;
};
LockedColors LockedColorsOf(const PaletteRecord& palette);

// After a build: every mark is cleared, then each locked colour in turn takes the place of the nearest entry
// (squared RGBA distance, the lowest index on ties) among the first `slots` that holds no locked colour yet, in
// both tables, and is marked there. Locks beyond the slots are dropped, the highest indices first.
void PlaceLockedColors(const LockedColors& locks, PaletteRecord& palette, AColorHistEntry* colorMap, int32_t slots);

// Orders the first `count` entries of both tables by decreasing palette alpha; equal alphas keep their order.
void SortByAlpha(PaletteRecord& palette, AColorHistEntry* colorMap, int32_t count);

// With `keepsTransparency`, makes the last entry in use transparent in both tables and keeps it where it is. When
// fewer colours are in use than were built, each marked entry that fell out of range takes the place of the
// highest unmarked entry in range (the transparent one excepted).
void FixupEntries(PaletteRecord& palette, ColorMapTable& colorMap, bool keepsTransparency);
