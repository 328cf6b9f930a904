#include "testhost/dialog_double.h"

#include "png/png_writer.h"
#include "ui/dialog_state.h"

DialogDoubleScript DialogScript;
DialogDoubleRecord DialogSeen;
bool dialogUp = false;

bool DoUI() {
  dialogUp = true;
  ++DialogSeen.opened;
  DialogSeen.compressedSize = CompressPNG();
  dialogUp = false;
  return !DialogScript.cancel;
}

void ShowDialogProgress(int32_t position, int16_t range) { DialogSeen.progress.emplace_back(position, range); }

void ResetDialogDouble() {
  DialogScript = DialogDoubleScript{};
  DialogSeen = DialogDoubleRecord{};
}
