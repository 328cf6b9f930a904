#pragma once
// The one progress routine: the reduction, the PNG writer and the save's copy report through it.
// Dependency-free declaration: any layer may call it.

// While the preview dialog is up the dialog's progress bar shows it; otherwise the host's callback does.
void Progress(double done, double total);
