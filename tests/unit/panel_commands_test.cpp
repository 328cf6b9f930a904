// The options panel's command table, row by row: which row a command lands in, what it changes in the options
// and the palette, and what the panel does after it.
#include "ui/panel_commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace {

std::vector<PanelStep> Steps(const PanelReaction& reaction) {
  return std::vector<PanelStep>(reaction.steps, reaction.steps + reaction.stepCount);
}

void ExpectNothingForTheCells(const PanelReaction& reaction) {
  EXPECT_FALSE(reaction.selectEntry);
  EXPECT_EQ(reaction.lockCheck, CheckChange::kKeep);
  EXPECT_EQ(reaction.transparentCheck, CheckChange::kKeep);
  EXPECT_EQ(reaction.cellLockMark, -1);
  EXPECT_EQ(reaction.cellTransparentMark, -1);
  EXPECT_FALSE(reaction.cellsUnmarked);
  EXPECT_FALSE(reaction.cellsOpaque);
}

void ExpectEmpty(const PanelReaction& reaction) {
  ExpectNothingForTheCells(reaction);
  EXPECT_EQ(reaction.stepCount, 0);
}

// Every entry marked and half transparent, so that clearing and making opaque show.
PaletteRecord MarkedPalette() {
  PaletteRecord palette;
  for (int i = 0; i < 256; ++i) {
    palette.entries[i] = PaletteEntry{static_cast<uint8_t>(i), 2, 3, static_cast<uint8_t>(i % 2 == 0 ? 0 : 77), 1};
  }
  palette.count = 40;
  palette.builtCount = 40;
  palette.built = 1;
  return palette;
}

int MarkedEntries(const PaletteRecord& palette) {
  int marked = 0;
  for (const PaletteEntry& entry : palette.entries) marked += entry.mark != 0 ? 1 : 0;
  return marked;
}

int OpaqueEntries(const PaletteRecord& palette) {
  int opaque = 0;
  for (const PaletteEntry& entry : palette.entries) opaque += entry.alpha == 255 ? 1 : 0;
  return opaque;
}

TEST(PanelCommandFor, RoutesEachControlToItsRow) {
  EXPECT_EQ(PanelCommandFor(1, 0, 0), PanelCommand::kPassToDialog);
  EXPECT_EQ(PanelCommandFor(2, 0, 0), PanelCommand::kPassToDialog);
  EXPECT_EQ(PanelCommandFor(2, 5, 1234), PanelCommand::kPassToDialog);  // any notification
  for (int id : {1002, 1003, 1004}) EXPECT_EQ(PanelCommandFor(id, 0, 99), PanelCommand::kPngType) << id;
  EXPECT_EQ(PanelCommandFor(1005, 0, 0), PanelCommand::kAlphaChannel);
  EXPECT_EQ(PanelCommandFor(1013, 0, 0), PanelCommand::kKeyColor);
  EXPECT_EQ(PanelCommandFor(1008, 0, 0), PanelCommand::kFillColor);
  EXPECT_EQ(PanelCommandFor(1019, 0, 0), PanelCommand::kTransparencyDither);
  EXPECT_EQ(PanelCommandFor(1021, 0, 0), PanelCommand::kRefinePalette);
  EXPECT_EQ(PanelCommandFor(1017, 0, 0), PanelCommand::kLock);
  EXPECT_EQ(PanelCommandFor(1018, 0, 0), PanelCommand::kTransparency);
}

TEST(PanelCommandFor, TheListsActOnlyOnAConfirmedSelection) {
  EXPECT_EQ(PanelCommandFor(1006, 9, 0), PanelCommand::kPaletteColors);
  EXPECT_EQ(PanelCommandFor(1010, 9, 0), PanelCommand::kDither);
  EXPECT_EQ(PanelCommandFor(1022, 9, 0), PanelCommand::kCompression);
  EXPECT_EQ(PanelCommandFor(1024, 9, 0), PanelCommand::kPaletteQuality);
  for (int notification : {1 /* selection changed */, 7 /* dropped down */, 8 /* closed up */, 10 /* cancelled */}) {
    EXPECT_EQ(PanelCommandFor(1006, notification, 0), PanelCommand::kIgnore) << notification;
    EXPECT_EQ(PanelCommandFor(1010, notification, 0), PanelCommand::kIgnore) << notification;
    EXPECT_EQ(PanelCommandFor(1022, notification, 0), PanelCommand::kIgnore) << notification;
    EXPECT_EQ(PanelCommandFor(1024, notification, 0), PanelCommand::kIgnore) << notification;
  }
  EXPECT_EQ(PanelCommandFor(1023, 9, 0), PanelCommand::kIgnore);    // its label
  EXPECT_EQ(PanelCommandFor(1026, 0, 0), PanelCommand::kMetadata);  // a check box: every click
  EXPECT_EQ(PanelCommandFor(1027, 0, 0), PanelCommand::kConvertToSrgb);
  EXPECT_EQ(PanelCommandFor(1028, 0, 0), PanelCommand::kSixteenBits);
}

TEST(PanelCommandFor, CellsClickWithExtraValueOneAndReportPicksWithAnyOther) {
  EXPECT_EQ(PanelCommandFor(334, 0, 1), PanelCommand::kCellClicked);
  EXPECT_EQ(PanelCommandFor(589, 0, 1), PanelCommand::kCellClicked);
  EXPECT_EQ(PanelCommandFor(400, 0, 0), PanelCommand::kCellColorPicked);
  EXPECT_EQ(PanelCommandFor(589, 0, 2), PanelCommand::kCellColorPicked);
  EXPECT_EQ(CellIndexFor(334), 0);
  EXPECT_EQ(CellIndexFor(589), 255);
}

TEST(PanelCommandFor, IgnoresEveryOtherId) {
  for (int id : {0, 3, 333, 590, 1000, 1001, 1007, 1009, 1011, 1012, 1014, 1020, -1, 65535}) {
    EXPECT_EQ(PanelCommandFor(id, 0, 1), PanelCommand::kIgnore) << id;
  }
}

TEST(PngTypeRow, TakesTheFirstCheckedButtonThenResyncsAndRefreshes) {
  SaveOptionsRecord options;
  options.pngType = kPngRgb;
  PanelReaction reaction = OnPngTypeCommand(options, false, true, false);
  EXPECT_EQ(options.pngType, kPngPalette);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kSyncPanel, PanelStep::kRefresh}));
  ExpectNothingForTheCells(reaction);

  OnPngTypeCommand(options, true, true, true);
  EXPECT_EQ(options.pngType, kPngGrayscale);
  OnPngTypeCommand(options, false, false, true);
  EXPECT_EQ(options.pngType, kPngRgb);
  reaction = OnPngTypeCommand(options, false, false, false);
  EXPECT_EQ(options.pngType, kPngRgb);  // none checked: unchanged
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kSyncPanel, PanelStep::kRefresh}));
}

TEST(AlphaChannelRow, RebuildsAtFullSizeClearsEveryMarkAndMakesOpaqueWhenOn) {
  SaveOptionsRecord options;
  options.alphaChannel = 0;
  PaletteRecord palette = MarkedPalette();
  PanelReaction reaction = OnAlphaChannelCommand(options, palette, true);
  EXPECT_EQ(options.alphaChannel, 1);
  EXPECT_EQ(palette.built, 0);
  EXPECT_EQ(palette.builtCount, 256);
  EXPECT_EQ(palette.count, 40);
  EXPECT_EQ(MarkedEntries(palette), 0);
  EXPECT_EQ(OpaqueEntries(palette), 256);
  EXPECT_TRUE(reaction.cellsUnmarked);
  EXPECT_TRUE(reaction.cellsOpaque);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kApplyEnableRules, PanelStep::kRefresh}));

  palette = MarkedPalette();
  reaction = OnAlphaChannelCommand(options, palette, false);
  EXPECT_EQ(options.alphaChannel, 0);
  EXPECT_EQ(palette.built, 0);
  EXPECT_EQ(palette.builtCount, 256);
  EXPECT_EQ(MarkedEntries(palette), 0);
  EXPECT_EQ(OpaqueEntries(palette), 0);  // the transparency stays
  EXPECT_EQ(palette.entries[4].alpha, 0);
  EXPECT_TRUE(reaction.cellsUnmarked);
  EXPECT_FALSE(reaction.cellsOpaque);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kApplyEnableRules, PanelStep::kRefresh}));
}

TEST(KeyColorRow, RebuildsAtFullSizeKeepsMarksAndMakesOpaqueWhenOff) {
  SaveOptionsRecord options;
  options.useKeyColor = 1;
  PaletteRecord palette = MarkedPalette();
  PanelReaction reaction = OnKeyColorCommand(options, palette, false);
  EXPECT_EQ(options.useKeyColor, 0);
  EXPECT_EQ(palette.built, 0);
  EXPECT_EQ(palette.builtCount, 256);
  EXPECT_EQ(MarkedEntries(palette), 256);
  EXPECT_EQ(OpaqueEntries(palette), 256);
  EXPECT_FALSE(reaction.cellsUnmarked);
  EXPECT_TRUE(reaction.cellsOpaque);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kApplyEnableRules, PanelStep::kRefresh}));

  palette = MarkedPalette();
  reaction = OnKeyColorCommand(options, palette, true);
  EXPECT_EQ(options.useKeyColor, 1);
  EXPECT_EQ(palette.built, 0);
  EXPECT_EQ(MarkedEntries(palette), 256);
  EXPECT_EQ(OpaqueEntries(palette), 0);
  EXPECT_FALSE(reaction.cellsOpaque);
  EXPECT_FALSE(reaction.cellsUnmarked);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kApplyEnableRules, PanelStep::kRefresh}));
}

TEST(PaletteColorsRow, RebuildsFromTheCurrentCountAndOpensTheOldLastEntry) {
  SaveOptionsRecord options;
  options.paletteColors = 64;
  PaletteRecord palette = MarkedPalette();
  palette.count = 37;
  palette.entries[63].alpha = 0;
  palette.entries[15].alpha = 0;
  const PanelReaction reaction = OnPaletteColorsCommand(options, palette, 4);
  EXPECT_EQ(options.paletteColors, 16);
  EXPECT_EQ(palette.built, 0);
  EXPECT_EQ(palette.builtCount, 37);
  EXPECT_EQ(palette.count, 37);
  EXPECT_EQ(palette.entries[63].alpha, 255);  // entry (old count - 1)
  EXPECT_EQ(palette.entries[15].alpha, 0);    // not the new last entry
  EXPECT_EQ(OpaqueEntries(palette), 1);
  EXPECT_EQ(reaction.shownCount, 16);
  EXPECT_EQ(Steps(reaction),
            (std::vector<PanelStep>{PanelStep::kSetShownCount, PanelStep::kUpdateEntryButtons, PanelStep::kRefresh}));
  ExpectNothingForTheCells(reaction);
}

TEST(PaletteColorsRow, AStoredCountOutsideTheListNeverReachesPastThePalette) {
  SaveOptionsRecord options;
  PaletteRecord palette = MarkedPalette();
  options.paletteColors = 300;  // from a settings file: the reduction used 256
  OnPaletteColorsCommand(options, palette, 7);
  EXPECT_EQ(palette.entries[255].alpha, 255);
  EXPECT_EQ(options.paletteColors, 2);

  palette = MarkedPalette();
  options.paletteColors = 100;  // the reduction used 128
  OnPaletteColorsCommand(options, palette, 0);
  EXPECT_EQ(palette.entries[127].alpha, 255);
  EXPECT_EQ(palette.entries[99].alpha, 77);
  EXPECT_EQ(options.paletteColors, 256);

  palette = MarkedPalette();
  options.paletteColors = -4;  // the reduction used 2
  OnPaletteColorsCommand(options, palette, 1);
  EXPECT_EQ(palette.entries[1].alpha, 255);
  EXPECT_EQ(palette.entries[0].alpha, 0);
  EXPECT_EQ(options.paletteColors, 128);
}

TEST(PaletteColorsRow, WithoutASelectionNothingChanges) {
  SaveOptionsRecord options;
  options.paletteColors = 64;
  PaletteRecord palette = MarkedPalette();
  for (int index : {-1, 8}) {
    ExpectEmpty(OnPaletteColorsCommand(options, palette, index));
    EXPECT_EQ(options.paletteColors, 64);
    EXPECT_EQ(palette.built, 1);
    EXPECT_EQ(palette.builtCount, 40);
  }
}

TEST(RefinePaletteRow, RebuildsAtTheSameCountKeepingLocksAndTransparency) {
  SaveOptionsRecord options;
  options.paletteColors = 64;
  PaletteRecord palette = MarkedPalette();
  PanelReaction reaction = OnRefinePaletteCommand(options, palette, true);
  EXPECT_EQ(options.refinePalette, 1);
  EXPECT_EQ(palette.built, 0);
  EXPECT_EQ(palette.builtCount, 40);
  // The rebuild honours the locks and the entries made transparent, so none of them is touched.
  EXPECT_EQ(MarkedEntries(palette), 256);
  EXPECT_EQ(OpaqueEntries(palette), 0);
  EXPECT_EQ(options.paletteColors, 64);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kRefresh}));
  ExpectNothingForTheCells(reaction);

  palette.built = 1;
  OnRefinePaletteCommand(options, palette, false);
  EXPECT_EQ(options.refinePalette, 0);
  EXPECT_EQ(palette.built, 0);
}

TEST(DitherRow, TakesTheListIndexThenAppliesTheEnableRulesAndRefreshes) {
  SaveOptionsRecord options;
  PaletteRecord palette;
  for (int index : {0, 1, 2, 3}) {
    const PanelReaction reaction = OnDitherCommand(options, palette, index);
    EXPECT_EQ(options.dither, index);
    EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kApplyEnableRules, PanelStep::kRefresh}));
  }
  ExpectEmpty(OnDitherCommand(options, palette, -1));
  ExpectEmpty(OnDitherCommand(options, palette, 4));
  EXPECT_EQ(options.dither, 3);
}

// The compression changes no pixel: the rows shown are encoded again, with no refresh that would reduce the image
// (the row takes no palette, so it cannot ask for a new one).
TEST(CompressionRow, TakesTheListIndexAndAsksForAnEncodingAlone) {
  SaveOptionsRecord options;
  for (int index : {1, 0}) {
    const PanelReaction reaction = OnCompressionCommand(options, index);
    EXPECT_EQ(options.compression, index);
    EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kEncode}));
    ExpectNothingForTheCells(reaction);
  }
  ExpectEmpty(OnCompressionCommand(options, -1));  // nothing selected
  ExpectEmpty(OnCompressionCommand(options, 2));
  EXPECT_EQ(options.compression, kStandardCompression);
}

// Metadata changes the file's chunks, and 16 Bits/Channel its samples, not the rows shown: an encoding alone, as
// for the compression.
TEST(MetadataRow, StoresTheCheckAndAsksForAnEncodingAlone) {
  SaveOptionsRecord options;
  for (const bool checked : {true, false}) {
    const PanelReaction metadata = OnMetadataCommand(options, checked);
    EXPECT_EQ(options.metadata, checked ? 1 : 0);
    EXPECT_EQ(Steps(metadata), (std::vector<PanelStep>{PanelStep::kEncode}));
    const PanelReaction sixteenBits = OnSixteenBitsCommand(options, checked);
    EXPECT_EQ(options.sixteenBits, checked ? 1 : 0);
    EXPECT_EQ(Steps(sixteenBits), (std::vector<PanelStep>{PanelStep::kEncode}));
  }
}

// Convert to sRGB changes the colours: a palette of the colours there are now, and the box shows what was done.
TEST(ConvertToSrgbRow, TakesWhetherTheConversionWasMadeBuildsAgainAndShowsIt) {
  SaveOptionsRecord options;
  PaletteRecord palette;
  palette.count = 40;
  palette.built = 1;
  for (const bool converted : {true, false}) {
    const PanelReaction reaction = OnConvertToSrgbCommand(options, palette, converted);
    EXPECT_EQ(options.convertToSrgb, converted ? 1 : 0);
    EXPECT_EQ(palette.built, 0);
    EXPECT_EQ(palette.builtCount, 40);
    EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kSyncPanel, PanelStep::kRefresh}));
    palette.built = 1;
  }
}

TEST(FillColorAndTransparencyDitherRows, StoreTheirValueAndRefresh) {
  SaveOptionsRecord options;
  PaletteRecord palette;
  PanelReaction reaction = OnFillColorCommand(options, palette, 0x00A0B0C0u);
  EXPECT_EQ(options.fillColor, 0x00A0B0C0);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kRefresh}));
  ExpectNothingForTheCells(reaction);

  options.keyColorDither = 1;
  reaction = OnTransparencyDitherCommand(options, palette, false);
  EXPECT_EQ(options.keyColorDither, 0);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kRefresh}));
  OnTransparencyDitherCommand(options, palette, true);
  EXPECT_EQ(options.keyColorDither, 1);
}

// A quality chooses the count from the pixels as matched: a change of how they are matched builds the palette
// again, which without a quality none of those rows does (the palette the user edited stays).
TEST(PaletteQualityRow, SetsTheQualityBuildsAgainAndOnlyThenDoTheMatchingRowsBuildAgain) {
  SaveOptionsRecord options;
  options.paletteColors = 16;
  options.useKeyColor = 1;
  PaletteRecord palette;
  palette.count = 16;
  palette.built = 1;
  palette.entries[15].alpha = 0;  // the key colour's entry
  OnDitherCommand(options, palette, 0);
  OnFillColorCommand(options, palette, 0x00102030u);
  OnTransparencyDitherCommand(options, palette, true);
  EXPECT_EQ(palette.built, 1);

  PanelReaction reaction = OnPaletteQualityCommand(options, palette, 75);
  EXPECT_EQ(options.paletteQuality, 75);
  EXPECT_EQ(options.paletteColors, 16);  // the list's count comes back when the quality is off
  EXPECT_EQ(palette.built, 0);
  EXPECT_EQ(palette.entries[15].alpha, 255);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kSyncPanel, PanelStep::kRefresh}));

  // The quality chose 37 colours, the last the key colour's; a change of dither asks for a new count.
  palette.count = 37;
  palette.built = 1;
  palette.entries[36].alpha = 0;
  OnDitherCommand(options, palette, 2);
  EXPECT_EQ(palette.built, 0);
  for (const auto& row :
       std::vector<std::function<void()>>{[&] { OnFillColorCommand(options, palette, 0x00405060u); },
                                          [&] { OnTransparencyDitherCommand(options, palette, false); }}) {
    palette.built = 1;
    row();
    EXPECT_EQ(palette.built, 0);
  }

  reaction = OnPaletteQualityCommand(options, palette, 0);
  EXPECT_EQ(options.paletteQuality, 0);
  EXPECT_EQ(palette.entries[36].alpha, 255);  // the entry the quality's count made the key colour's
  ExpectEmpty(OnPaletteQualityCommand(options, palette, -1));
  OnPaletteQualityCommand(options, palette, 250);  // not a quality: off
  EXPECT_EQ(options.paletteQuality, 0);
}

TEST(LockRow, TogglesTheSelectedEntrysMarkWithoutARefreshButSaysThePaletteChanged) {
  PaletteRecord palette;
  PanelReaction reaction = OnLockCommand(palette, 9);
  EXPECT_EQ(palette.entries[9].mark, 1);
  EXPECT_EQ(reaction.entry, 9);
  EXPECT_EQ(reaction.lockCheck, CheckChange::kCheck);
  EXPECT_EQ(reaction.cellLockMark, 1);
  EXPECT_EQ(reaction.transparentCheck, CheckChange::kKeep);
  EXPECT_EQ(reaction.cellTransparentMark, -1);
  EXPECT_FALSE(reaction.selectEntry);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kPaletteEdited}));

  reaction = OnLockCommand(palette, 9);
  EXPECT_EQ(palette.entries[9].mark, 0);
  EXPECT_EQ(reaction.lockCheck, CheckChange::kUncheck);
  EXPECT_EQ(reaction.cellLockMark, 0);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kPaletteEdited}));

  for (int selected : {-1, 256}) ExpectEmpty(OnLockCommand(palette, selected));
  EXPECT_EQ(MarkedEntries(palette), 0);
}

TEST(TransparencyRow, TogglesTheSelectedEntrysAlphaAndRefreshes) {
  PaletteRecord palette;
  palette.entries[3].alpha = 128;
  PanelReaction reaction = OnTransparencyCommand(palette, 3);
  EXPECT_EQ(palette.entries[3].alpha, 0);
  EXPECT_EQ(reaction.entry, 3);
  EXPECT_EQ(reaction.transparentCheck, CheckChange::kCheck);
  EXPECT_EQ(reaction.cellTransparentMark, 1);
  EXPECT_EQ(reaction.lockCheck, CheckChange::kKeep);
  EXPECT_EQ(reaction.cellLockMark, -1);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kRefresh}));

  reaction = OnTransparencyCommand(palette, 3);
  EXPECT_EQ(palette.entries[3].alpha, 255);
  EXPECT_EQ(reaction.transparentCheck, CheckChange::kUncheck);
  EXPECT_EQ(reaction.cellTransparentMark, 0);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kRefresh}));

  for (int selected : {-1, 256}) ExpectEmpty(OnTransparencyCommand(palette, selected));
}

TEST(CellClickRow, SelectsAndShowsTheEntrysMarkAndTransparencyThenUpdatesTheButtons) {
  PaletteRecord palette;
  palette.entries[20] = PaletteEntry{1, 2, 3, 0, 1};
  palette.entries[21] = PaletteEntry{1, 2, 3, 200, 0};
  PanelReaction reaction = OnCellClicked(palette, 20, true);
  EXPECT_TRUE(reaction.selectEntry);
  EXPECT_EQ(reaction.entry, 20);
  EXPECT_EQ(reaction.lockCheck, CheckChange::kCheck);
  EXPECT_EQ(reaction.transparentCheck, CheckChange::kCheck);
  EXPECT_EQ(reaction.cellLockMark, -1);
  EXPECT_EQ(reaction.cellTransparentMark, -1);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kUpdateEntryButtons}));

  // A disabled transparency button is not checked, whatever the alpha.
  EXPECT_EQ(OnCellClicked(palette, 20, false).transparentCheck, CheckChange::kUncheck);

  reaction = OnCellClicked(palette, 21, true);
  EXPECT_EQ(reaction.lockCheck, CheckChange::kUncheck);
  EXPECT_EQ(reaction.transparentCheck, CheckChange::kUncheck);
  EXPECT_EQ(palette.entries[20].mark, 1);  // a click changes nothing in the palette
}

TEST(CellPickRow, TakesTheCellsColourThenRefreshesAndUpdatesTheButtons) {
  PaletteRecord palette;
  palette.entries[200] = PaletteEntry{9, 9, 9, 17, 1};
  const PanelReaction reaction = OnCellColorPicked(palette, 200, 0x00563412u);
  EXPECT_EQ(palette.entries[200].red, 0x12);
  EXPECT_EQ(palette.entries[200].green, 0x34);
  EXPECT_EQ(palette.entries[200].blue, 0x56);
  EXPECT_EQ(palette.entries[200].alpha, 17);
  EXPECT_EQ(palette.entries[200].mark, 1);
  EXPECT_EQ(Steps(reaction), (std::vector<PanelStep>{PanelStep::kRefresh, PanelStep::kUpdateEntryButtons}));
  ExpectNothingForTheCells(reaction);
  ExpectEmpty(OnCellColorPicked(palette, 256, 0));
  ExpectEmpty(OnCellColorPicked(palette, -1, 0));
}

TEST(ClearAndOpaque, CoverAll256Entries) {
  PaletteRecord palette = MarkedPalette();
  palette.count = 2;
  ClearPaletteMarks(palette);
  EXPECT_EQ(MarkedEntries(palette), 0);
  EXPECT_EQ(OpaqueEntries(palette), 0);
  MakePaletteOpaque(palette);
  EXPECT_EQ(OpaqueEntries(palette), 256);
  EXPECT_EQ(palette.entries[255].red, 255);  // colours stay
}

}  // namespace

TEST(CellAfterArrow, MovesWithinTheShownGridAndStopsAtItsEdges) {
  // 40 cells: rows of 16, 16 and 8.
  EXPECT_EQ(CellAfterArrow(-1, 40, ArrowKey::kDown), 0);  // nothing selected: the first cell
  EXPECT_EQ(CellAfterArrow(17, 40, ArrowKey::kLeft), 16);
  EXPECT_EQ(CellAfterArrow(16, 40, ArrowKey::kLeft), 16);  // the row's first column
  EXPECT_EQ(CellAfterArrow(14, 40, ArrowKey::kRight), 15);
  EXPECT_EQ(CellAfterArrow(15, 40, ArrowKey::kRight), 15);  // the row's last column
  EXPECT_EQ(CellAfterArrow(39, 40, ArrowKey::kRight), 39);  // the last cell shown
  EXPECT_EQ(CellAfterArrow(20, 40, ArrowKey::kUp), 4);
  EXPECT_EQ(CellAfterArrow(4, 40, ArrowKey::kUp), 4);
  EXPECT_EQ(CellAfterArrow(20, 40, ArrowKey::kDown), 36);
  EXPECT_EQ(CellAfterArrow(30, 40, ArrowKey::kDown), 30);  // no cell beneath it
  EXPECT_EQ(CellAfterArrow(3, 0, ArrowKey::kDown), -1);
  EXPECT_EQ(CellAfterArrow(77, 40, ArrowKey::kUp), 0);  // a selection no longer shown starts over
}
