#pragma once
// The options panel's command table: which row a command belongs to, what each row changes in SaveOptions
// and the Palette, and what the panel has to do to its windows afterwards. The panel reads its controls,
// calls these, and carries out the reaction in order.
#include <cstdint>

#include "records/palette.h"
#include "records/save_options.h"
#include "ui/panel_rules.h"

// The rows of the table.
enum class PanelCommand : uint8_t {
  kIgnore,
  kPassToDialog,        // 1, 2: Save and Cancel belong to the preview dialog
  kPngType,             // 1002, 1003, 1004
  kAlphaChannel,        // 1005
  kKeyColor,            // 1013
  kPaletteColors,       // 1006, selection confirmed
  kRefinePalette,       // 1021
  kDither,              // 1010, selection confirmed
  kCompression,         // 1022, selection confirmed
  kPaletteQuality,      // 1024, selection confirmed
  kMetadata,            // 1026
  kConvertToSrgb,       // 1027
  kSixteenBits,         // 1028
  kFillColor,           // 1008
  kTransparencyDither,  // 1019
  kLock,                // 1017
  kTransparency,        // 1018
  kCellClicked,         // 334 to 589, extra value 1
  kCellColorPicked,     // 334 to 589, any other extra value
};

// The combo box notification of a confirmed selection (CBN_SELENDOK).
inline constexpr int kSelectionConfirmed = 9;
// Palette cell i has the id kFirstCellId + i.
inline constexpr int kFirstCellId = 334;
inline constexpr int kLastCellId = 589;

// The arrow keys as the palette view takes them.
enum class ArrowKey : uint8_t { kLeft, kRight, kUp, kDown };
// The cell an arrow key selects in the palette view's grid of 16 columns with its first `shownCount` cells shown:
// the neighbour in that direction, the same cell at an edge, cell 0 when nothing is selected; -1 with no cells.
int32_t CellAfterArrow(int32_t selected, int32_t shownCount, ArrowKey key);

// The row for a command's control id, notification code and extra value (the message's lParam).
PanelCommand PanelCommandFor(int id, int notification, intptr_t extra);
// The palette entry of a cell id.
inline int CellIndexFor(int id) { return id - kFirstCellId; }

// What the panel does after a row has updated the options and the palette, in this order.
enum class PanelStep : uint8_t {
  kSyncPanel,  // SyncPanelFromOptions
  kApplyEnableRules,
  kSetShownCount,  // the palette view's SetShownCount(shownCount)
  kUpdateEntryButtons,
  kRefresh,        // RefreshPreview
  kEncode,         // encode the rows shown again with the options now, without reducing the image again
  kPaletteEdited,  // a change of the palette that shows no pixel, which a running refresh must not lose
};

struct PanelReaction {
  // First, the windows of single entries and cells:
  bool selectEntry = false;  // the palette view's Select(entry)
  int32_t entry = -1;        // the entry the fields below are about
  CheckChange lockCheck = CheckChange::kKeep;
  CheckChange transparentCheck = CheckChange::kKeep;
  int8_t cellLockMark = -1;         // SetLockMark on the entry's cell; -1: not called
  int8_t cellTransparentMark = -1;  // SetTransparentMark on the entry's cell; -1: not called
  bool cellsUnmarked = false;       // SetLockMark(0) on every cell (the cells' half of ClearAllMarks)
  bool cellsOpaque = false;         // SetTransparentMark(0) on every cell (the cells' half of MakeAllOpaque)
  // Then these steps:
  PanelStep steps[3] = {};
  int stepCount = 0;
  int32_t shownCount = 0;  // for kSetShownCount

  void Then(PanelStep step) { steps[stepCount++] = step; }
};

// The palette's half of ClearAllMarks and MakeAllOpaque: all 256 entries.
void ClearPaletteMarks(PaletteRecord& palette);
void MakePaletteOpaque(PaletteRecord& palette);

// One function per row. Each takes what the panel read from its controls, updates the options and the
// palette, and says what follows. A command that finds nothing to act on returns an empty reaction.

// The first checked of the three radio buttons sets the type; none checked leaves it.
PanelReaction OnPngTypeCommand(SaveOptionsRecord& options, bool grayscaleChecked, bool paletteChecked, bool rgbChecked);
PanelReaction OnAlphaChannelCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked);
PanelReaction OnKeyColorCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked);
PanelReaction OnPaletteColorsCommand(SaveOptionsRecord& options, PaletteRecord& palette, int listIndex);
// With a quality set, the count depends on the dither: the palette is built again.
PanelReaction OnDitherCommand(SaveOptionsRecord& options, PaletteRecord& palette, int listIndex);
// `quality`: the list's value (0 Off, else 1..100); -1 for nothing selected. The palette is built again, of the
// count the quality chooses or, Off, of the Colors list's.
PanelReaction OnPaletteQualityCommand(SaveOptionsRecord& options, PaletteRecord& palette, int32_t quality);
// The palette is built again, refined or not, at the count it has.
PanelReaction OnRefinePaletteCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked);
// The compression changes the file's bytes, never its pixels: the rows shown are encoded again.
PanelReaction OnCompressionCommand(SaveOptionsRecord& options, int listIndex);
// The metadata changes the file's chunks, never its pixels: the rows shown are encoded again.
PanelReaction OnMetadataCommand(SaveOptionsRecord& options, bool checked);
// 16 Bits/Channel changes the file's samples, never the 8-bit rows shown: they are encoded again.
PanelReaction OnSixteenBitsCommand(SaveOptionsRecord& options, bool checked);
// `converted`: the box is checked and the converted image exists (ui/srgb_image.h); the palette is built again
// from the colours the image has now.
PanelReaction OnConvertToSrgbCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool converted);
// These two, too, build the palette again while a quality chooses its count.
PanelReaction OnFillColorCommand(SaveOptionsRecord& options, PaletteRecord& palette, uint32_t swatchColor);
PanelReaction OnTransparencyDitherCommand(SaveOptionsRecord& options, PaletteRecord& palette, bool checked);
// `selected`: the palette view's selected entry, -1 for none.
PanelReaction OnLockCommand(PaletteRecord& palette, int32_t selected);
PanelReaction OnTransparencyCommand(PaletteRecord& palette, int32_t selected);
// `transparentEnabled`: whether the transparency button is enabled for the clicked entry (EntryButtonsFor).
PanelReaction OnCellClicked(const PaletteRecord& palette, int32_t index, bool transparentEnabled);
// `cellColor`: the cell's colour after the pick, 0x00BBGGRR.
PanelReaction OnCellColorPicked(PaletteRecord& palette, int32_t index, uint32_t cellColor);
