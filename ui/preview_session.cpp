#include "ui/preview_session.h"

#include "base/callouts.h"
#include "base/debug_log.h"
#include "png/size_text.h"
#include "records/color_map.h"
#include "records/save_options.h"
#include "ui/preview_refresh.h"
#include "ui/save_dialog.h"
#include "ui/settings_file.h"

void BeginPreviewSession(void (*statusLine)(void* owner, const char* line), void* owner) {
  dialogUp = true;
  Callouts.statusLine = statusLine;
  Callouts.statusLineOwner = owner;
}

void StartFirstEncoding(PreviewRefresher& refresher) {
  DebugLog("before FileSize = CompressPNG");
  refresher.RequestEncoding();
}

void ShowEncodedSize(int32_t size) {
  DebugLog("before PrintFileSize");
  PrintFileSize(size);
}

void EndPreviewSession(const PreviewWindowRect& window) {
  ReleaseColorMap();
  SaveOptions.windowWidth = window.width;
  SaveOptions.windowHeight = window.height;
  SaveOptions.windowLeft = window.left;
  SaveOptions.windowTop = window.top;
  SaveSettings();
  dialogUp = false;
  Callouts.statusLine = nullptr;
  Callouts.statusLineOwner = nullptr;
}
