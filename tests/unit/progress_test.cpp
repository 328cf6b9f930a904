// Where progress goes: the dialog's bar while it is up, the host's callback otherwise.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/callouts.h"
#include "base/progress.h"
#include "host/host_call.h"
#include "host/host_progress.h"
#include "testhost/dialog_double.h"
#include "ui/save_dialog.h"

namespace {

std::vector<std::pair<int32_t, int32_t>> hostReports;
void RecordHostProgress(int32_t done, int32_t total) { hostReports.emplace_back(done, total); }

TEST(Progress, GoesToTheDialogWhileItIsUpAndToTheHostOtherwise) {
  ResetDialogDouble();
  hostReports.clear();
  FormatRecord record{};
  record.progressProc = RecordHostProgress;
  HostCall.format = &record;
  InstallSaveDialog(&TheDialogDouble());
  Callouts.progress = ReportSaveProgress;

  dialogUp = true;
  Progress(3.9, 10.0);
  // Twice the height of a 20000-row image: the bar's range must not wrap.
  Progress(-2.0, 40000.0);
  dialogUp = false;
  Progress(7.99, 20.0);
  Progress(-1.0, 20.0);
  HostCall.format = nullptr;
  Callouts.progress = nullptr;
  InstallSaveDialog(nullptr);

  const std::vector<std::pair<int32_t, int32_t>> dialog{{3, 10}, {0, 40000}};
  const std::vector<std::pair<int32_t, int32_t>> host{{7, 20}, {0, 20}};
  EXPECT_EQ(DialogSeen.progress, dialog);
  EXPECT_EQ(hostReports, host);
}

}  // namespace
