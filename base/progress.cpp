#include "base/progress.h"

#include "base/callouts.h"

void Progress(double done, double total) {
  if (Callouts.progress != nullptr) Callouts.progress(done, total);
}
