#pragma once
// What the rest of the plug-in needs to know of the preview dialog.
#include <cstdint>

// True from the start of the dialog's initialisation until its destruction.
extern bool dialogUp;

// Runs the modal preview dialog; true when the user chose to save.
bool DoUI();

// Moves the dialog's progress bar: range 0 .. range, position at position.
void ShowDialogProgress(int32_t position, int32_t range);
