#pragma once
// Stands in for the Win32 preview dialog in the native build (ui/save_dialog.h): it opens and closes through the
// same preview session as the real dialog (one encoding while dialogUp is set, the settings file written at the
// end) and answers as the script says, without a window. The native PluginMain installs it.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/save_dialog.h"

struct DialogDoubleScript {
  bool cancel = false;  // answer the dialog with Cancel instead of Save
  // Runs after the opening's encoding, while the image and the temporary PNG still exist.
  std::function<void()> atOpen;
};
extern DialogDoubleScript DialogScript;

// What the stand-in was shown, for tests.
struct DialogDoubleRecord {
  int opened = 0;                                     // calls of DoUI
  int32_t compressedSize = 0;                         // what the encoding at the last opening returned
  std::vector<std::pair<int32_t, int32_t>> progress;  // (position, range) of every ShowDialogProgress
  std::vector<std::string> statusLines;               // size lines the dialog would show
  std::string psnrReadout;                            // the PSNR readout beside them at the last opening
  int aboutShown = 0;                                 // calls of DoAbout
};
extern DialogDoubleRecord DialogSeen;

class DialogDouble final : public SaveDialog {
 public:
  bool DoUI() override;
  void DoAbout(intptr_t hostWindow) override;
  void ShowDialogProgress(int32_t position, int32_t range) override;
};

// The one stand-in, as the native PluginMain installs it.
DialogDouble& TheDialogDouble();

// Back to the default script and an empty record.
void ResetDialogDouble();
