#include "reduce/palette_prepare.h"

#include <algorithm>

#include "base/debug_log.h"
#include "reduce/median_cut.h"
#include "reduce/palette_count_search.h"

namespace {

void FillGrayRamp(PaletteRecord& palette) {
  palette.count = 256;
  for (int32_t i = 0; i < 256; ++i) {
    const uint8_t level = static_cast<uint8_t>(i);
    palette.entries[i] = PaletteEntry{level, level, level, 255, 0};
  }
}

// The palette of the count the quality asks for, and a line in the log of what was chosen.
ReduceStatus BuildQualityPalette(const WholeImageRecord& image, const SaveOptionsRecord& options,
                                 const FilterSettings& settings, PaletteRecord& palette, ColorMapTable& colorMap,
                                 const std::function<bool()>& keepGoing) {
  PaletteCountChoice choice;
  const ReduceStatus status = BuildPaletteForQuality(image, options, settings, palette, colorMap, keepGoing, choice);
  if (status == ReduceStatus::Aborted) {
    colorMap.Reset();
    return status;
  }
  DebugLog("Palette Quality %d", settings.paletteQuality);
  DebugLog("Palette Quality colors %d", choice.colors);
  DebugLog("Palette Quality PSNR centi-dB %d", choice.psnr < 0 ? -1 : static_cast<int>(choice.psnr * 100 + 0.5));
  DebugLog("Palette Quality trials %d", choice.trials);
  return ReduceStatus::Ok;
}

}  // namespace

ReduceStatus PreparePalette(const WholeImageRecord& image, const SaveOptionsRecord& options,
                            const FilterSettings& settings, PaletteRecord& palette, ColorMapTable& colorMap,
                            const std::function<bool()>& keepGoing, void (*paletteReady)(), PaletteMatch& match) {
  match = PaletteMatch{};
  if (settings.pngType != kPngPalette) return ReduceStatus::Ok;
  if (settings.mode == kWholeGray) {
    FillGrayRamp(palette);
    // A gray image never has a colour map: one left by an earlier palette build is shorter than the
    // ramp's 256 entries, and the fix-up would write past its end.
    colorMap.Reset();
    if (paletteReady != nullptr) paletteReady();
  } else if (settings.mode == kWholeRgb) {
    palette.count = palette.builtCount;
    if (!palette.built) {
      colorMap.Reset();
      if (settings.paletteQuality > 0) {
        const ReduceStatus status = BuildQualityPalette(image, options, settings, palette, colorMap, keepGoing);
        if (status != ReduceStatus::Ok) return status;
      } else {
        // The refinement can take a while; a stop asked for meanwhile ends the run before the palette is taken.
        colorMap = BuildColorPalette(image, options, palette, keepGoing);
      }
      if (options.refinePalette && keepGoing && !keepGoing()) {
        colorMap.Reset();
        return ReduceStatus::Aborted;
      }
      palette.built = 1;
    }
    palette.count = std::min(palette.count, settings.paletteColors);
    FixupPalette(image, options, palette, colorMap);
    if (paletteReady != nullptr) paletteReady();
    match = PaletteMatchFor(settings, colorMap.data(), palette.count);
  }
  return ReduceStatus::Ok;
}
