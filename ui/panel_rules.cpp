#include "ui/panel_rules.h"

#include <algorithm>
#include <cmath>

#include "reduce/reduce_filter.h"
#include "widgets/dpi_scale.h"

namespace {

constexpr int32_t kGrayWithAlphaPlanes = 2;
constexpr int32_t kPaletteEntries = 256;

// The stored type may come unchecked from a settings file; the panel shows what the reduction will use.
bool IsPaletteType(const SaveOptionsRecord& options) { return UsablePngType(options.pngType) == kPngPalette; }

bool IsEntry(int32_t selected) { return selected >= 0 && selected < kPaletteEntries; }

}  // namespace

EntryButtonsState EntryButtonsFor(const PanelImage& image, const SaveOptionsRecord& options, int32_t selected) {
  EntryButtonsState state;
  if (!IsPaletteType(options) || !IsEntry(selected)) {
    state.lockCheck = CheckChange::kUncheck;
    state.transparentCheck = CheckChange::kUncheck;
    return state;
  }
  state.lockEnabled = true;
  // Only a key colour makes single entries transparent; with an alpha channel the alpha comes from the image.
  if (options.useKeyColor != 0 && options.alphaChannel == 0 && image.HasAlphaPlane()) {
    state.transparentEnabled = true;
    return state;
  }
  state.transparentCheck = CheckChange::kUncheck;
  return state;
}

EnableState EnableRulesFor(const PanelImage& image, const SaveOptionsRecord& options, int32_t selected) {
  EnableState state;
  const bool alphaOn = options.alphaChannel != 0;
  const bool paletteType = IsPaletteType(options);

  if (image.planes == kGrayWithAlphaPlanes) {
    if (!paletteType) state.alphaChannel = true;
    state.clearSelection = true;
  } else {
    if (image.HasAlphaPlane() && image.mode == kWholeRgb) {
      state.alphaChannel = true;
      state.keyColor = !alphaOn;
    }
    if (paletteType && image.mode == kWholeRgb) {
      state.paletteControls = true;
      state.colorsList = UsablePaletteQuality(options.paletteQuality) == 0;
      state.transparencyDither =
          UsableDither(options.dither) != kNoDither && image.HasAlphaPlane() && (alphaOn || options.useKeyColor != 0);
    } else {
      state.clearSelection = true;
    }
  }
  state.convertToSrgb = image.srgbConvertible;
  state.sixteenBits = image.sixteenBits && !paletteType;
  WholeImageRecord whole;
  whole._WholeMode = image.mode;
  whole._WholePlanesIn = image.planes;
  state.fillColor = FillColorShows(FilterSettingsFor(whole, options), image.clearEntry);
  state.entryButtons = EntryButtonsFor(image, options, state.clearSelection ? -1 : selected);
  return state;
}

int ColorsListIndexFor(int32_t paletteColors) {
  // The count the reduction uses: the next power of two from 2 to 256.
  const int32_t usable = UsablePaletteColors(paletteColors);
  int index = kColorsListEntries - 1;
  for (int32_t colors = 2; colors < usable; colors *= 2) --index;
  return index;
}

int32_t PaletteColorsForListIndex(int listIndex) {
  if (listIndex < 0 || listIndex >= kColorsListEntries) return 0;
  return static_cast<int32_t>(std::pow(2.0, 8 - listIndex));
}

PanelSyncState SyncStateFor(const PanelImage& image, const SaveOptionsRecord& options, int32_t paletteCount) {
  PanelSyncState state;
  state.pngType = UsablePngType(options.pngType);
  state.alphaChannel = options.alphaChannel != 0;
  state.keyColor = options.useKeyColor != 0;
  state.transparencyDither = options.keyColorDither != 0;
  state.refinePalette = options.refinePalette != 0;
  state.metadata = options.metadata != 0;
  // Ticked only where there is something converted: without a profile to convert from the option does nothing.
  state.convertToSrgb = options.convertToSrgb != 0 && image.srgbConvertible;
  // Shown for a 16-bit document only, whose file it is about; a Palette file leaves it, disabled, as it is.
  state.sixteenBits = options.sixteenBits != 0 && image.sixteenBits;
  state.colorsListIndex = ColorsListIndexFor(options.paletteColors);
  state.ditherListIndex = UsableDither(options.dither);
  state.compressionListIndex = UsableCompression(options.compression);
  const int32_t quality = UsablePaletteQuality(options.paletteQuality);
  state.qualityList = QualityListFor(quality);
  state.qualityListIndex = static_cast<int>(std::find(state.qualityList.begin(), state.qualityList.end(), quality) -
                                            state.qualityList.begin());
  state.fillColor = static_cast<uint32_t>(options.fillColor);
  if (state.pngType == kPngPalette) {
    if (image.mode == kWholeGray) {
      state.shownCount = kPaletteEntries;  // the gray ramp
    } else if (image.mode == kWholeIndexed) {
      state.shownCount = std::clamp(paletteCount, 0, kPaletteEntries);  // the host's colour table
    } else if (quality > 0) {
      state.shownCount = std::clamp(paletteCount, 0, kPaletteEntries);
      state.chosenColors = state.shownCount;
    } else {
      state.shownCount = UsablePaletteColors(options.paletteColors);
    }
  }
  return state;
}

std::vector<int32_t> QualityListFor(int32_t paletteQuality) {
  std::vector<int32_t> list{0};
  const int32_t stored = UsablePaletteQuality(paletteQuality);
  bool placed = stored == 0;
  for (const int32_t listed : kListedQualities) {
    if (!placed && stored >= listed) {
      if (stored > listed) list.push_back(stored);
      placed = true;
    }
    list.push_back(listed);
  }
  if (!placed) list.push_back(stored);
  return list;
}

PanelPoint PaletteViewPlace(int groupLeft, int groupTop, int groupWidth, int dpi) {
  return PanelPoint{groupLeft + (groupWidth - PaletteViewSize(dpi)) / 2 + ScaledForDpi(4, dpi),
                    groupTop + ScaledForDpi(16, dpi)};
}

int PaletteViewSize(int dpi) { return ScaledForDpi(kPaletteViewSize, dpi); }
