#include "ui/save_dialog.h"

bool dialogUp = false;

namespace {
SaveDialog* installedDialog = nullptr;
}  // namespace

void InstallSaveDialog(SaveDialog* dialog) { installedDialog = dialog; }

SaveDialog* InstalledSaveDialog() { return installedDialog; }
