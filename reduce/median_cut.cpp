#include "reduce/median_cut.h"

#include "base/debug_log.h"
#include "base/row_bands.h"
#include "reduce/alpha_weight.h"
#include "reduce/box_cut.h"
#include "reduce/color_sample.h"
#include "reduce/palette_order.h"
#include "reduce/palette_refine.h"

namespace {

// The last entry in use is the transparent one.
bool KeepsTransparency(const WholeImageRecord& image, const SaveOptionsRecord& options) {
  return HasAlphaPlane(image._WholePlanesIn) && (options.alphaChannel || options.useKeyColor);
}

// Moves the cut's colours toward the image's own colours, in both tables; the locked colours and the entry kept
// for transparency stay where they are.
void RefineCutColors(const WholeImageRecord& image, const SaveOptionsRecord& options, bool composite,
                     PaletteRecord& palette, ColorMapTable& colorMap, int32_t count,
                     const std::function<bool()>& keepGoing) {
  const int32_t searched = KeepsTransparency(image, options) ? count - 1 : count;
  if (searched <= 0) return;
  bool fixed[256] = {};
  for (int32_t i = 0; i < searched; ++i) fixed[i] = palette.entries[i].mark != 0;
  RefineHistogram histogram = CountRefineColors(image, options.fillColor, composite);
  ThinRefineHistogram(histogram);
  // Weighted by alpha, the refinement moves premultiplied colours among premultiplied pixels: its distances,
  // means and errors are then those of the colours as they will be seen.
  const bool weighted = AlphaWeighted(image, options);
  AColorHistEntry premultiplied[256];
  if (weighted) {
    PremultiplyRefineColors(histogram);
    for (int32_t i = 0; i < searched; ++i) premultiplied[i] = PremultipliedEntry(colorMap[i]);
  }
  AColorHistEntry* refined = weighted ? premultiplied : colorMap.data();
  if (!RefineColorMap(histogram, refined, searched, fixed, ReductionThreads(), keepGoing).done) return;
  for (int32_t i = 0; i < searched; ++i) {
    if (fixed[i]) continue;
    if (weighted) colorMap[i] = StraightEntry(premultiplied[i]);
    PaletteEntry& entry = palette.entries[i];
    entry.red = colorMap[i].red;
    entry.green = colorMap[i].green;
    entry.blue = colorMap[i].blue;
    entry.alpha = colorMap[i].alpha;
  }
}

}  // namespace

ColorMapTable BuildColorPalette(const WholeImageRecord& image, const SaveOptionsRecord& options, PaletteRecord& palette,
                                const std::function<bool()>& keepGoing) {
  return BuildColorPaletteOf(image, options, UsablePaletteColors(options.paletteColors), palette, keepGoing);
}

ColorMapTable BuildColorPaletteOf(const WholeImageRecord& image, const SaveOptionsRecord& options, int32_t colors,
                                  PaletteRecord& palette, const std::function<bool()>& keepGoing) {
  DebugLog("CreateColorPalette BEGIN =====>");
  if (image._WholePlanesIn < 3) {
    DebugLog("_WholePlanesIn<3");
    return ColorMapTable();
  }
  if (image._WholeWidth <= 0 || image._WholeHeight <= 0) {
    DebugLog("_WholeWidth=0");
    return ColorMapTable();
  }

  // Without an alpha channel or key colour in the output, the palette is built for the image as it will be
  // seen: over the fill colour.
  const bool composite = image._WholePlanesIn > 3 && !options.alphaChannel && !options.useKeyColor;
  ColorSample sample = TakeColorSample(image, options.fillColor, composite);
  if (!sample.records) {
    DebugLog("cannot allocate apixels");
    return ColorMapTable();
  }

  DebugLog("Efter create 500x500");
  // The user's locked colours survive the build that replaces them.
  const LockedColors locks = LockedColorsOf(palette);
  int32_t count = 0;
  ColorMapTable colorMap = CutSampleColors(sample, colors, &count);
  if (!colorMap) return colorMap;

  DebugLog("Copy Palette");
  CopyColorMapToPalette(colorMap.data(), count, palette);
  // Never on the entry kept for transparency, which stays the last.
  PlaceLockedColors(locks, palette, colorMap.data(), KeepsTransparency(image, options) ? count - 1 : count);
  if (options.refinePalette) RefineCutColors(image, options, composite, palette, colorMap, count, keepGoing);
  if (options.alphaChannel) {
    // The last entry shows the image's lowest alpha; its matching colour keeps the averaged alpha.
    palette.entries[count - 1].alpha = static_cast<uint8_t>(image.MinAlpha % 256);
    SortByAlpha(palette, colorMap.data(), count);
  }

  DebugLog("CreateColorPalette END <=====");
  return colorMap;
}

void FixupPalette(const WholeImageRecord& image, const SaveOptionsRecord& options, PaletteRecord& palette,
                  ColorMapTable& colorMap) {
  if (!colorMap) return;
  FixupEntries(palette, colorMap, KeepsTransparency(image, options));
}

ColorMapTable CreateColorPalette() { return BuildColorPalette(WholeImage, SaveOptions, Palette); }

void SortPaletteByAlpha(ColorMapTable& colorMap, int32_t count) { SortByAlpha(Palette, colorMap.data(), count); }

void FixupPalette() { FixupPalette(WholeImage, SaveOptions, Palette, ColorMap); }
