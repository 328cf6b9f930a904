#include "host/host_progress.h"

#include <cstdint>

#include "host/host_call.h"
#include "ui/save_dialog.h"

namespace {
int32_t TruncatedNonNegative(double value) { return value < 0 ? 0 : static_cast<int32_t>(value); }
}  // namespace

void ReportSaveProgress(double done, double total) {
  if (dialogUp) {
    // The whole range, not its low 16 bits: twice the height of a tall image does not fit them.
    if (SaveDialog* dialog = InstalledSaveDialog()) {
      dialog->ShowDialogProgress(TruncatedNonNegative(done), static_cast<int32_t>(total));
    }
    return;
  }
  if (HostCall.format != nullptr && HostCall.format->progressProc != nullptr) {
    HostCall.format->progressProc(TruncatedNonNegative(done), static_cast<int32_t>(total));
  }
}
