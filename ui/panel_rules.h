#pragma once
// Which controls of the options panel are enabled and checked for an image and the options: the panel reads
// these and only carries them out on its windows.
#include <cstdint>
#include <vector>

#include "records/save_options.h"
#include "records/whole_image.h"

// What the panel needs to know of the acquired image.
struct PanelImage {
  int32_t mode = 0;              // _WholeMode
  int32_t planes = 0;            // _WholePlanesIn
  bool clearEntry = false;       // an indexed image's colour table has a transparent entry in use
  bool srgbConvertible = false;  // the document's profile is one Convert to sRGB acts on
  bool sixteenBits = false;      // the document has 16 bits per channel
  bool HasAlphaPlane() const { return ::HasAlphaPlane(planes); }
};

// A check box's state after a rule: left as it is, or set.
enum class CheckChange : uint8_t { kKeep, kCheck, kUncheck };

// The lock and transparency buttons under the palette view.
struct EntryButtonsState {
  bool lockEnabled = false;
  CheckChange lockCheck = CheckChange::kKeep;
  bool transparentEnabled = false;
  CheckChange transparentCheck = CheckChange::kKeep;
};

// UpdateEntryButtons for the selected palette entry (-1: none).
EntryButtonsState EntryButtonsFor(const PanelImage& image, const SaveOptionsRecord& options, int32_t selected);

// ApplyEnableRules. The palette controls are the colour count with its label and Refine Palette, the palette
// view, its group and the dither list with its label; the fill colour is the swatch with its label.
struct EnableState {
  bool alphaChannel = false;        // 1005
  bool fillColor = false;           // 1008 and 1009: whenever the fill shows in the file's pixels
  bool keyColor = false;            // 1013
  bool transparencyDither = false;  // 1019
  bool convertToSrgb = false;       // 1027: where the document has a profile to convert from
  bool sixteenBits = false;         // 1028: a 16-bit document saved as Grayscale or RGB
  bool paletteControls = false;     // 1007, 1021, the view, 1001, 1010, 1012, and the quality list 1024, 1025
  bool colorsList = false;          // 1006: with the palette controls, while no quality chooses the count
  bool clearSelection = false;      // Select(-1) before the entry buttons are updated
  EntryButtonsState entryButtons;   // for the selection as it is after that
};

EnableState EnableRulesFor(const PanelImage& image, const SaveOptionsRecord& options, int32_t selected);

// SyncPanelFromOptions: every control's value for the options (ApplyEnableRules follows it).
struct PanelSyncState {
  int8_t pngType = kPngRgb;  // the radio button to check; the others are unchecked
  bool alphaChannel = false;
  bool keyColor = false;
  bool transparencyDither = false;
  bool refinePalette = false;
  bool metadata = false;             // 1026
  bool convertToSrgb = false;        // 1027
  bool sixteenBits = false;          // 1028
  int colorsListIndex = 0;           // 1006
  int ditherListIndex = 0;           // 1010
  int compressionListIndex = 0;      // 1022
  std::vector<int32_t> qualityList;  // 1024: the qualities it offers, 0 (Off) first
  int qualityListIndex = 0;
  // With a quality set for an RGB image's palette, the count it chose (the palette's now), which the Colors list
  // shows instead of an entry of its own; 0 otherwise.
  int32_t chosenColors = 0;
  uint32_t fillColor = 0;  // 0x00BBGGRR
  int32_t shownCount = 0;  // palette cells shown
};

PanelSyncState SyncStateFor(const PanelImage& image, const SaveOptionsRecord& options, int32_t paletteCount);

// The colour list holds 256, 128, ..., 2 at indices 0 to 7.
inline constexpr int kColorsListEntries = 8;
inline constexpr int kDitherListEntries = 4;
// The compression list holds Standard and Smallest at their values' indices.
inline constexpr int kCompressionListEntries = 2;
// The quality list: Off (0), then these from high to low; a stored quality that is none of them joins the list
// in its place, so that the list always shows what the options hold.
inline constexpr int32_t kListedQualities[] = {100, 95, 90, 85, 80, 75, 70, 60, 50, 40, 30, 20, 10};
std::vector<int32_t> QualityListFor(int32_t paletteQuality);
// The index showing the smallest listed count that is at least `paletteColors` ("2" for anything up to 2).
int ColorsListIndexFor(int32_t paletteColors);
// 2 to the power (8 - index), or 0 for an index outside the list.
int32_t PaletteColorsForListIndex(int listIndex);

// The palette view: 216 x 216 pixels inside the "Palette" group, given in panel client pixels.
inline constexpr int kPaletteViewSize = 216;
struct PanelPoint {
  int x = 0;
  int y = 0;
};
PanelPoint PaletteViewPlace(int groupLeft, int groupTop, int groupWidth, int dpi = 96);
// The palette view's side on a screen of `dpi`: kPaletteViewSize at 96 dpi.
int PaletteViewSize(int dpi);
