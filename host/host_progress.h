#pragma once
// Where a save's progress goes: the preview dialog's bar while the dialog is up, otherwise the host's callback,
// after which the host's abort callback is asked whether the user wants the save stopped. Installed as the
// progress call-out for the length of a save.

// False once the host has asked to abort (and from then on, until the next save starts).
bool ReportSaveProgress(double done, double total);

// A new save has not been aborted yet.
void ForgetSaveAbort();
// The host asked this save to abort.
bool SaveAborted();
