#include "png/png_writer.h"
#include "ui/dialog_state.h"

bool dialogUp = false;

// Placeholder until the preview dialog lands: encodes once, as the dialog's opening does, and saves.
bool DoUI() {
  CompressPNG();
  return true;
}

void ShowDialogProgress(int32_t, int16_t) {}
