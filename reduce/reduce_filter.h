#pragma once
// Reduces WholeImage into ReducedImage for the current SaveOptions (and, for the Palette type, Palette).
void DoFilter();

// Called each time the filter has prepared the palette, so a palette view can follow it; null when no view
// is shown. The dialog sets it.
extern void (*PaletteViewRefresh)();
