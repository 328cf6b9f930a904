#pragma once
// The one progress routine: the reduction, the PNG writer and the save's copy report through it. It hands the
// report to the progress call-out (base/callouts.h): while the preview dialog is up the host side shows it in
// the dialog's bar, otherwise through the host's callback.
#include <functional>

// True to go on; false when the work is to stop at once because the host asked to abort. True while nobody
// listens.
bool Progress(double done, double total);

// Where a run reports when it reports somewhere else than Progress (a preview refresh on its own thread): the
// same meaning, false to stop now.
using ProgressReport = std::function<bool(double done, double total)>;
