#include "ui/toolkit_session_win32.h"

#include <utility>

#include "base/debug_log.h"
#include "widgets/color_swatch_win32.h"
#include "widgets/control_button_win32.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/link_win32.h"
#include "widgets/mac_style_button_win32.h"
#include "widgets/plain_container_win32.h"
#include "widgets/preview_container_win32.h"

namespace {

// Arial 13 bold, proof quality, at the size for a screen of `dpi`.
HFONT NewDialogFont(int32_t dpi) {
  return CreateFontW(ScaledForDpi(13, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, PROOF_QUALITY, 0, L"Arial");
}

void InitCommonControlsAtRunTime(HMODULE commonControls) {
  using InitProc = void(WINAPI*)();
  if (commonControls == nullptr) return;
  const auto init =
      reinterpret_cast<InitProc>(reinterpret_cast<void*>(GetProcAddress(commonControls, "InitCommonControls")));
  if (init != nullptr) init();
}

}  // namespace

gdi::FontOwner ToolkitSession::ScaleDialogFont(int32_t dpi) {
  gdi::FontOwner replaced;
  if (dialogFont_.get() == nullptr || dpi == fontDpi_) return replaced;
  replaced = std::move(dialogFont_);
  dialogFont_.Reset(NewDialogFont(dpi));
  fontDpi_ = dpi;
  return replaced;
}

ToolkitSession::ToolkitSession(Scope scope) : scope_(scope) {
  DebugLog("before InitCommonControls");
  commonControls_ = LoadLibraryW(L"comctl32.dll");
  InitCommonControlsAtRunTime(commonControls_);
  DebugLog("before InitLinkCommon");
  InitLinkCommon();
  if (scope_ == Scope::kPreviewDialog) {
    DebugLog("before RegisterControl");
    HBRUSH previewBrush = CreateSolidBrush(shared::kBackgroundColor);  // the class owns it once registered
    if (!RegisterPreviewContainerClass(previewBrush)) DeleteObject(previewBrush);
    RegisterColorSwatchClass();
    RegisterPlainContainerClass();
    RegisterControlButtonClass();
    dialogFont_.Reset(NewDialogFont(kBaseDpi));
  }
  DebugLog("before InitMacStyleBtnCommon");
  InitMacStyleBtnCommon();
}

ToolkitSession::~ToolkitSession() {
  if (scope_ == Scope::kPreviewDialog) {
    ReleaseMacStyleBtnCommon();
    ReleaseLinkCommon();
    dialogFont_.Reset();
    UnregisterControlButtonClass();
    UnregisterPlainContainerClass();
    UnregisterColorSwatchClass();
    UnregisterPreviewContainerClass();
  } else {
    ReleaseLinkCommon();
    ReleaseMacStyleBtnCommon();
  }
  if (commonControls_ != nullptr) FreeLibrary(commonControls_);
}
