#include "testhost/dialog_double.h"

#include <cstdio>

#include "records/save_options.h"
#include "ui/preview_session.h"

DialogDoubleScript DialogScript;
DialogDoubleRecord DialogSeen;

namespace {
// The size line goes where a person running the host sees it.
void PrintStatusLine(const char* line) {
  DialogSeen.statusLines.emplace_back(line);
  std::printf("%s\n", line);
}
}  // namespace

bool DialogDouble::DoUI() {
  ++DialogSeen.opened;
  BeginPreviewSession(PrintStatusLine);
  DialogSeen.compressedSize = EncodeFirstPreview();
  if (DialogScript.atOpen) DialogScript.atOpen();
  // A window that never moved closes where the options said it would open.
  EndPreviewSession({SaveOptions.windowLeft, SaveOptions.windowTop, SaveOptions.windowWidth, SaveOptions.windowHeight});
  return !DialogScript.cancel;
}

void DialogDouble::ShowDialogProgress(int32_t position, int32_t range) {
  DialogSeen.progress.emplace_back(position, range);
}

void DialogDouble::DoAbout(intptr_t) { ++DialogSeen.aboutShown; }

DialogDouble& TheDialogDouble() {
  static DialogDouble dialog;
  return dialog;
}

void ResetDialogDouble() {
  DialogScript = DialogDoubleScript{};
  DialogSeen = DialogDoubleRecord{};
}
