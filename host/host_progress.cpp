#include "host/host_progress.h"

#include <cstdint>

#include "host/host_call.h"
#include "ui/save_dialog.h"

namespace {

int32_t TruncatedNonNegative(double value) { return value < 0 ? 0 : static_cast<int32_t>(value); }

}  // namespace

bool ReportSaveProgress(double done, double total) {
  if (dialogUp) {
    // The whole range, not its low 16 bits: twice the height of a tall image does not fit them. The dialog has
    // its own Cancel; the host's abort is for saves without one.
    if (SaveDialog* dialog = InstalledSaveDialog()) {
      dialog->ShowDialogProgress(TruncatedNonNegative(done), static_cast<int32_t>(total));
    }
    return true;
  }
  const FormatRecord* format = HostCall.format;
  if (format == nullptr) return true;
  if (format->progressProc != nullptr) {
    format->progressProc(TruncatedNonNegative(done), static_cast<int32_t>(total));
  }
  return format->abortProc == nullptr || format->abortProc() == 0;
}
