#pragma once
// Median-cut palette for the Palette type: a palette and the colour map the pixels are matched against, built
// from an image for a set of options. Thin over the stages in color_sample, box_cut and palette_order.
#include <cstdint>
#include <functional>

#include "records/color_map.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"

// A new colour map, empty when none could be made; on success the palette's first n entries,
// count and built count are filled, and its locked colours have survived. With refinePalette the cut's colours
// are refined before they are ordered; keepGoing, when given, is asked during the refinement, which ends early
// (the colours as the cut left them) once it answers false.
ColorMapTable BuildColorPalette(const WholeImageRecord& image, const SaveOptionsRecord& options, PaletteRecord& palette,
                                const std::function<bool()>& keepGoing = {});
// The same for any count of colours from 2 to 256 (the quality search's), not only the Colors list's.
ColorMapTable BuildColorPaletteOf(const WholeImageRecord& image, const SaveOptionsRecord& options, int32_t colors,
                                  PaletteRecord& palette, const std::function<bool()>& keepGoing = {});
// Makes the last entry in use transparent where transparency is kept and swaps marked entries back into range;
// nothing without a colour map.
void FixupPalette(const WholeImageRecord& image, const SaveOptionsRecord& options, PaletteRecord& palette,
                  ColorMapTable& colorMap);

// The same over the process-wide WholeImage, SaveOptions, Palette and ColorMap.
ColorMapTable CreateColorPalette();
// Orders Palette entries and colour-map entries together by decreasing alpha (stable).
void SortPaletteByAlpha(ColorMapTable& colorMap, int32_t count);
void FixupPalette();
