#include "base/progress.h"

#include "base/callouts.h"

bool Progress(double done, double total) { return Callouts.progress == nullptr || Callouts.progress(done, total); }
