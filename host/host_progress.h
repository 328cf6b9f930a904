#pragma once
// Where a save's progress goes: the preview dialog's bar while the dialog is up, otherwise the host's callback.
// Installed as the progress call-out for the length of a save.

void ReportSaveProgress(double done, double total);
