#pragma once
// The options panel on the right of the preview dialog: Save and Cancel, and every control through which the
// user changes SaveOptions and the working Palette. It turns the controls' commands into calls on the panel's
// rules (ui/panel_rules.h, ui/panel_commands.h) and shows their outcome.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "ui/panel_commands.h"
#include "widgets/artwork_scale.h"
#include "widgets/bitmap_check_button_win32.h"
#include "widgets/dialog_object_win32.h"
#include "widgets/gdi_owners_win32.h"

class ColorSwatch;

// What the panel asks of the dialog it sits in; an empty call does nothing.
struct OptionsPanelCalls {
  std::function<void()> refresh;        // an option change must show: the dialog's RefreshPreview
  std::function<void()> paletteEdited;  // the palette changed in a way that needs no refresh (a lock)
  std::function<void()> encode;         // only the encoding changed: the rows shown are encoded again
};

class OptionsPanel final : public DialogObject {
 public:
  // `listFont` is the font of the drop-down lists, borrowed from the dialog's toolkit session.
  OptionsPanel(OptionsPanelCalls calls, HFONT listFont) : calls_(std::move(calls)), listFont_(listFont) {}
  OptionsPanel(const OptionsPanel&) = delete;
  OptionsPanel& operator=(const OptionsPanel&) = delete;

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Sets every control from SaveOptions, then ApplyEnableRules.
  void SyncPanelFromOptions();
  // Enables and disables the controls for the options and the image.
  void ApplyEnableRules();
  // Enables and checks the lock and transparency buttons for the selected palette entry.
  void UpdateEntryButtons();
  // All 256 palette entries unmarked, and every existing cell without its lock mark.
  void ClearAllMarks();
  // All 256 palette entries opaque, and every existing cell without its transparent mark.
  void MakeAllOpaque();

  // The face bitmap loaded from resource `resourceId` (130 to 134), or null.
  HBITMAP Face(int resourceId) const;
  // The dialog has moved to a screen of `dpi`: the lock and transparency buttons take their faces drawn at the
  // scale for it, and the faces of the old scale are released.
  void TakeFacesForDpi(int32_t dpi);
  // The drop-down lists show their entries in `font` from now on (the dialog font, made again for a new DPI).
  void TakeListFont(HFONT font);
  // New rows and their palette are in the records: where a quality chose the count, the Colors list and the
  // palette view show the count chosen.
  void PaletteRebuilt();

 private:
  INT_PTR OnInit();
  INT_PTR OnCommand(WPARAM wParam, LPARAM lParam);
  void LoadFaces(int32_t dpi);
  void FillList(int id, const wchar_t* const* texts, int count);
  void FillLists();
  void PlacePaletteView();
  void SetUpEntryButtons();
  void ShowColorCount(const PanelSyncState& state);
  void ShowQualityList(const PanelSyncState& state);
  // The quality of the list's selected entry; -1 for none.
  int32_t QualityPicked() const;
  BitmapCheckImages LockImages() const;
  BitmapCheckImages TransparentImages() const;
  void Carry(const PanelReaction& reaction);
  void CarryEntryButtons(const EntryButtonsState& state);
  void SetCheck(int id, CheckChange change);
  void Enable(int id, bool on);
  bool Checked(int id) const;
  int ListIndex(int id) const;
  ColorSwatch* FillSwatch() const;

  OptionsPanelCalls calls_;
  HFONT listFont_;
  std::vector<int32_t> qualityList_;    // the values of the quality list's entries, in its order
  static constexpr int kFaceCount = 5;  // resources 130 to 134
  gdi::BitmapOwner faces_[kFaceCount];
  ArtworkScale faceScale_ = ArtworkScale::k100;  // the scale the faces were drawn at
};

// Creates the panel as a modeless child of the preview dialog, answering to `calls`, its lists in `listFont`; the
// panel's object lives as long as its window.
HWND CreateOptionsPanel(HWND dialog, OptionsPanelCalls calls, HFONT listFont);

// The object of a panel made by CreateOptionsPanel, or null.
OptionsPanel* GetOptionsPanel(HWND panel);
