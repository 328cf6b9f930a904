#pragma once
// Where a save's progress goes: the preview dialog's bar while the dialog is up, otherwise the host's callback,
// after which the host's abort callback is asked whether the user wants the save stopped. Installed as the
// progress call-out for the length of a save.

// False when the host asks to abort: the step that reported stops and answers so, and the save with it.
bool ReportSaveProgress(double done, double total);
