#include "ui/panel_commands.h"

#include <algorithm>

#include "records/color.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kSaveId = 1;    // IDOK
constexpr int kCancelId = 2;  // IDCANCEL
constexpr intptr_t kCellClickExtra = 1;
constexpr int32_t kPaletteEntries = 256;
constexpr uint8_t kOpaque = 255;
constexpr uint8_t kTransparent = 0;

bool IsEntry(int32_t index) { return index >= 0 && index < kPaletteEntries; }

CheckChange CheckFor(bool on) { return on ? CheckChange::kCheck : CheckChange::kUncheck; }

// A change of the alpha channel or the key colour asks for a fresh palette of full size.
void RequestRebuild(PaletteRecord& palette, int32_t builtCount) {
  palette.built = 0;
  palette.builtCount = builtCount;
}

// The count the quality chose depends on how the pixels are matched and what they are matched against.
void RebuildForQuality(const SaveOptionsRecord& options, PaletteRecord& palette) {
  if (UsablePaletteQuality(options.paletteQuality) > 0) RequestRebuild(palette, kPaletteEntries);
}

// The entries the reduction uses now: the quality's count, or the Colors list's.
int32_t CountInUse(const SaveOptionsRecord& options, const PaletteRecord& palette) {
  if (UsablePaletteQuality(options.paletteQuality) > 0 && palette.count > 0) {
    return std::min(palette.count, kPaletteEntries);
  }
  return UsablePaletteColors(options.paletteColors);
}

}  // namespace

PanelCommand PanelCommandFor(int id, int notification, intptr_t extra) {
  switch (id) {
    case kSaveId:
    case kCancelId: return PanelCommand::kPassToDialog;
    case IDC_PANEL_GRAYSCALE:
    case IDC_PANEL_PALETTE:
    case IDC_PANEL_RGB: return PanelCommand::kPngType;
    case IDC_PANEL_ALPHA_CHANNEL: return PanelCommand::kAlphaChannel;
    case IDC_PANEL_KEY_COLOR: return PanelCommand::kKeyColor;
    case IDC_PANEL_COLORS:
      return notification == kSelectionConfirmed ? PanelCommand::kPaletteColors : PanelCommand::kIgnore;
    case IDC_PANEL_REFINE_PALETTE: return PanelCommand::kRefinePalette;
    case IDC_PANEL_DITHER: return notification == kSelectionConfirmed ? PanelCommand::kDither : PanelCommand::kIgnore;
    case IDC_PANEL_COMPRESSION:
      return notification == kSelectionConfirmed ? PanelCommand::kCompression : PanelCommand::kIgnore;
    case IDC_PANEL_QUALITY:
      return notification == kSelectionConfirmed ? PanelCommand::kPaletteQuality : PanelCommand::kIgnore;
    case IDC_PANEL_METADATA: return PanelCommand::kMetadata;
    case IDC_PANEL_CONVERT_SRGB: return PanelCommand::kConvertToSrgb;
    case IDC_PANEL_SIXTEEN_BITS: return PanelCommand::kSixteenBits;
    case IDC_PANEL_FILL_COLOR: return PanelCommand::kFillColor;
    case IDC_PANEL_TRANSPARENCY_DITHER: return PanelCommand::kTransparencyDither;
    case IDC_PANEL_LOCK: return PanelCommand::kLock;
    case IDC_PANEL_TRANSPARENT: return PanelCommand::kTransparency;
    default: break;
  }
  if (id >= kFirstCellId && id <= kLastCellId) {
    return extra == kCellClickExtra ? PanelCommand::kCellClicked : PanelCommand::kCellColorPicked;
  }
  return PanelCommand::kIgnore;
}

void ClearPaletteMarks(PaletteRecord& palette) {
  for (PaletteEntry& entry : palette.entries) entry.mark = 0;
}

void MakePaletteOpaque(PaletteRecord& palette) {
  for (PaletteEntry& entry : palette.entries) entry.alpha = kOpaque;
}

PanelReaction OnPngTypeCommand(SaveOptionsRecord& options, bool grayscaleChecked, bool paletteChecked,
                               bool rgbChecked) {
  if (grayscaleChecked) {
    options.pngType = kPngGrayscale;
  } else if (paletteChecked) {
    options.pngType = kPngPalette;
  } else if (rgbChecked) {
    options.pngType = kPngRgb;
  }
  PanelReaction reaction;
  reaction.Then(PanelStep::kSyncPanel);
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnAlphaChannelCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked) {
  options.alphaChannel = checked ? 1 : 0;
  RequestRebuild(palette, kPaletteEntries);
  PanelReaction reaction;
  ClearPaletteMarks(palette);
  reaction.cellsUnmarked = true;
  if (checked) {
    MakePaletteOpaque(palette);
    reaction.cellsOpaque = true;
  }
  reaction.Then(PanelStep::kApplyEnableRules);
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnKeyColorCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked) {
  options.useKeyColor = checked ? 1 : 0;
  RequestRebuild(palette, kPaletteEntries);
  PanelReaction reaction;
  if (!checked) {
    MakePaletteOpaque(palette);
    reaction.cellsOpaque = true;
  }
  reaction.Then(PanelStep::kApplyEnableRules);
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnPaletteColorsCommand(SaveOptionsRecord& options, PaletteRecord& palette, int listIndex) {
  PanelReaction reaction;
  const int32_t colors = PaletteColorsForListIndex(listIndex);
  if (colors == 0) return reaction;  // nothing selected
  RequestRebuild(palette, palette.count);
  // The old last entry held the key colour; it goes back to opaque. The stored count may be anything a
  // settings file held, so the entry is taken from the count the reduction actually used.
  palette.entries[CountInUse(options, palette) - 1].alpha = kOpaque;
  options.paletteColors = colors;
  reaction.shownCount = colors;
  reaction.Then(PanelStep::kSetShownCount);
  reaction.Then(PanelStep::kUpdateEntryButtons);
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnRefinePaletteCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked) {
  options.refinePalette = checked ? 1 : 0;
  RequestRebuild(palette, palette.count);
  PanelReaction reaction;
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnDitherCommand(SaveOptionsRecord& options, PaletteRecord& palette, int listIndex) {
  PanelReaction reaction;
  if (listIndex < 0 || listIndex >= kDitherListEntries) return reaction;  // nothing selected
  options.dither = static_cast<uint8_t>(listIndex);
  RebuildForQuality(options, palette);
  reaction.Then(PanelStep::kApplyEnableRules);
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnCompressionCommand(SaveOptionsRecord& options, int listIndex) {
  PanelReaction reaction;
  if (listIndex < 0 || listIndex >= kCompressionListEntries) return reaction;  // nothing selected
  options.compression = static_cast<uint8_t>(listIndex);
  reaction.Then(PanelStep::kEncode);
  return reaction;
}

PanelReaction OnPaletteQualityCommand(SaveOptionsRecord& options, PaletteRecord& palette, int32_t quality) {
  PanelReaction reaction;
  if (quality < 0) return reaction;  // nothing selected
  // The old last entry held the key colour; it goes back to opaque, as for a change of count.
  palette.entries[CountInUse(options, palette) - 1].alpha = kOpaque;
  options.paletteQuality = UsablePaletteQuality(quality);
  RequestRebuild(palette, kPaletteEntries);
  reaction.Then(PanelStep::kSyncPanel);
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnMetadataCommand(SaveOptionsRecord& options, bool checked) {
  options.metadata = checked ? 1 : 0;
  PanelReaction reaction;
  reaction.Then(PanelStep::kEncode);
  return reaction;
}

PanelReaction OnSixteenBitsCommand(SaveOptionsRecord& options, bool checked) {
  options.sixteenBits = checked ? 1 : 0;
  PanelReaction reaction;
  reaction.Then(PanelStep::kEncode);
  return reaction;
}

PanelReaction OnConvertToSrgbCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool converted) {
  options.convertToSrgb = converted ? 1 : 0;
  RequestRebuild(palette, palette.count);
  PanelReaction reaction;
  reaction.Then(PanelStep::kSyncPanel);  // the box shows whether the conversion could be made
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnFillColorCommand(SaveOptionsRecord& options, PaletteRecord& palette, uint32_t swatchColor) {
  options.fillColor = static_cast<int32_t>(swatchColor);
  RebuildForQuality(options, palette);
  PanelReaction reaction;
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnTransparencyDitherCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked) {
  options.keyColorDither = checked ? 1 : 0;
  RebuildForQuality(options, palette);
  PanelReaction reaction;
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnLockCommand(PaletteRecord& palette, int32_t selected) {
  PanelReaction reaction;
  if (!IsEntry(selected)) return reaction;
  PaletteEntry& entry = palette.entries[selected];
  entry.mark = entry.mark != 0 ? 0 : 1;
  reaction.entry = selected;
  reaction.lockCheck = CheckFor(entry.mark != 0);
  reaction.cellLockMark = static_cast<int8_t>(entry.mark);
  reaction.Then(PanelStep::kPaletteEdited);  // a lock changes no pixel: no refresh
  return reaction;
}

PanelReaction OnTransparencyCommand(PaletteRecord& palette, int32_t selected) {
  PanelReaction reaction;
  if (!IsEntry(selected)) return reaction;
  PaletteEntry& entry = palette.entries[selected];
  const bool nowTransparent = entry.alpha != kTransparent;
  entry.alpha = nowTransparent ? kTransparent : kOpaque;
  reaction.entry = selected;
  reaction.transparentCheck = CheckFor(nowTransparent);
  reaction.cellTransparentMark = nowTransparent ? 1 : 0;
  reaction.Then(PanelStep::kRefresh);
  return reaction;
}

PanelReaction OnCellClicked(const PaletteRecord& palette, int32_t index, bool transparentEnabled) {
  PanelReaction reaction;
  if (!IsEntry(index)) return reaction;
  const PaletteEntry& entry = palette.entries[index];
  reaction.selectEntry = true;
  reaction.entry = index;
  reaction.lockCheck = CheckFor(entry.mark != 0);
  reaction.transparentCheck = CheckFor(entry.alpha == kTransparent && transparentEnabled);
  reaction.Then(PanelStep::kUpdateEntryButtons);
  return reaction;
}

PanelReaction OnCellColorPicked(PaletteRecord& palette, int32_t index, uint32_t cellColor) {
  PanelReaction reaction;
  if (!IsEntry(index)) return reaction;
  PaletteEntry& entry = palette.entries[index];
  const RgbColor color = UnpackColor(cellColor);
  entry.red = color.red;
  entry.green = color.green;
  entry.blue = color.blue;
  reaction.Then(PanelStep::kRefresh);
  reaction.Then(PanelStep::kUpdateEntryButtons);
  return reaction;
}

int32_t CellAfterArrow(int32_t selected, int32_t shownCount, ArrowKey key) {
  constexpr int32_t kColumns = 16;
  if (shownCount <= 0) return -1;
  if (selected < 0 || selected >= shownCount) return 0;
  int32_t next = selected;
  switch (key) {
    case ArrowKey::kLeft: next = selected % kColumns > 0 ? selected - 1 : selected; break;
    case ArrowKey::kRight: next = selected % kColumns < kColumns - 1 ? selected + 1 : selected; break;
    case ArrowKey::kUp: next = selected - kColumns; break;
    case ArrowKey::kDown: next = selected + kColumns; break;
  }
  return next >= 0 && next < shownCount ? next : selected;
}
