#include "testhost/dialog_double.h"

#include <cstdio>

#include "png/png_writer.h"
#include "png/size_text.h"
#include "reduce/median_cut.h"
#include "ui/about_box.h"
#include "ui/dialog_state.h"

DialogDoubleScript DialogScript;
DialogDoubleRecord DialogSeen;
bool dialogUp = false;

namespace {
// The size line goes where a person running the host sees it.
void PrintStatusLine(const char* line) {
  DialogSeen.statusLines.emplace_back(line);
  std::printf("%s\n", line);
}
}  // namespace

bool DoUI() {
  dialogUp = true;
  ++DialogSeen.opened;
  StatusLineSink = PrintStatusLine;
  DialogSeen.compressedSize = CompressPNG();
  PrintFileSize(DialogSeen.compressedSize);
  StatusLineSink = nullptr;
  if (DialogScript.atOpen) DialogScript.atOpen();
  // The real dialog lets go of the colour map when it closes, so the next save builds its own.
  ReleaseColorMap();
  dialogUp = false;
  return !DialogScript.cancel;
}

void ShowDialogProgress(int32_t position, int32_t range) { DialogSeen.progress.emplace_back(position, range); }

void ResetDialogDouble() {
  DialogScript = DialogDoubleScript{};
  DialogSeen = DialogDoubleRecord{};
}

void DoAbout(intptr_t) { ++DialogSeen.aboutShown; }
