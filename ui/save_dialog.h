#pragma once
// What a save needs of the preview dialog, so that the core links without one: the plug-in's entry installs
// the Win32 dialog, the native test host a stand-in. Both open and close through the one preview session
// (ui/preview_session.h), which keeps dialogUp.
#include <cstdint>

class SaveDialog {
 public:
  virtual ~SaveDialog() = default;
  // Runs the modal preview dialog; true when the user chose to save.
  virtual bool DoUI() = 0;
  // The About box over the host's window.
  virtual void DoAbout(intptr_t hostWindow) = 0;
  // Moves the dialog's progress bar: range 0 .. range, position at position.
  virtual void ShowDialogProgress(int32_t position, int32_t range) = 0;
};

// True from the start of the dialog's initialisation until its destruction.
extern bool dialogUp;

// The dialog of this build; null while none is installed (a save then ends as if cancelled).
void InstallSaveDialog(SaveDialog* dialog);
SaveDialog* InstalledSaveDialog();
