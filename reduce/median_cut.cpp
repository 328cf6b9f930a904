#include "reduce/median_cut.h"

#include "base/debug_log.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/box_cut.h"
#include "reduce/color_sample.h"
#include "reduce/palette_order.h"

namespace {

// The last entry in use is the transparent one.
bool KeepsTransparency() { return HasAlphaPlane() && (SaveOptions.alphaChannel || SaveOptions.useKeyColor); }

}  // namespace

AColorHistEntry* CreateColorPalette() {
  DebugLog("CreateColorPalette BEGIN =====>");
  if (WholeImage._WholePlanesIn < 3) {
    DebugLog("_WholePlanesIn<3");
    return nullptr;
  }
  if (WholeImage._WholeWidth <= 0 || WholeImage._WholeHeight <= 0) {
    DebugLog("_WholeWidth=0");
    return nullptr;
  }

  // Without an alpha channel or key colour in the output, the palette is built for the image as it will be
  // seen: over the fill colour.
  const bool composite = WholeImage._WholePlanesIn > 3 && !SaveOptions.alphaChannel && !SaveOptions.useKeyColor;
  ColorSample sample = TakeColorSample(WholeImage, SaveOptions.fillColor, composite);
  if (!sample.records) {
    DebugLog("cannot allocate apixels");
    return nullptr;
  }

  DebugLog("Efter create 500x500");
  // The user's locked colours survive the build that replaces them.
  const LockedColors locks = LockedColorsOf(Palette);
  int32_t count = 0;
  AColorHistEntry* colorMap = CutSampleColors(sample, UsablePaletteColors(SaveOptions.paletteColors), &count);
  if (colorMap == nullptr) return nullptr;

  DebugLog("Copy Palette");
  CopyColorMapToPalette(colorMap, count, Palette);
  // Never on the entry kept for transparency, which stays the last.
  PlaceLockedColors(locks, Palette, colorMap, KeepsTransparency() ? count - 1 : count);
  if (SaveOptions.alphaChannel) {
    // The last entry shows the image's lowest alpha; its matching colour keeps the averaged alpha.
    Palette.entries[count - 1].alpha = static_cast<uint8_t>(WholeImage.MinAlpha % 256);
    SortPaletteByAlpha(colorMap, count);
  }

  DebugLog("CreateColorPalette END <=====");
  return colorMap;
}

void SortPaletteByAlpha(AColorHistEntry* colorMap, int32_t count) { SortByAlpha(Palette, colorMap, count); }

void FixupPalette() {
  if (ColorMap == nullptr) return;
  FixupEntries(Palette, ColorMap, KeepsTransparency());
}
