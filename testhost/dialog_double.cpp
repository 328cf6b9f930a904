#include "testhost/dialog_double.h"

#include <cstdio>

#include "png/png_writer.h"
#include "records/save_options.h"
#include "testhost/refresh_news.h"
#include "ui/preview_refresh.h"
#include "ui/preview_session.h"
#include "ui/psnr_readout.h"

DialogDoubleScript DialogScript;
DialogDoubleRecord DialogSeen;

namespace {
// The size line goes where a person running the host sees it.
void PrintStatusLine(void*, const char* line) {
  DialogSeen.statusLines.emplace_back(line);
  std::printf("%s\n", line);
}

// What the real dialog does with the refresher's news, without windows.
class StandInRefreshShown final : public PreviewRefresher::Listener {
 public:
  void RefreshProgress(int32_t, int32_t) override {}
  void RowsChanged() override {}
  void EncodingDone(int32_t size) override { ShowEncodedSize(size); }
  void RefreshIdle() override {}
};
}  // namespace

bool DialogDouble::DoUI() {
  ++DialogSeen.opened;
  BeginPreviewSession(PrintStatusLine, nullptr);
  {
    StandInRefreshShown shown;
    RefreshNews news;
    PreviewRefresher refresher(shown, [&news] { return news.Post(); });
    StartFirstEncoding(refresher);
    news.DeliverUntilIdle(refresher);
    DialogSeen.compressedSize = LastCompressedSize;
    // The readout beside the size line, where a person running the host sees it too.
    DialogSeen.psnrReadout = PsnrReadoutText(refresher.FilePsnr());
    if (!DialogSeen.psnrReadout.empty()) std::printf("%s\n", DialogSeen.psnrReadout.c_str());
    if (DialogScript.atOpen) DialogScript.atOpen();
  }
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
