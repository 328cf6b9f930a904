#include "ui/about_box.h"
#include "ui/about_box_window.h"

#include "base/debug_log.h"
#include "resources/resource_ids.h"
#include "ui/dialog_colors.h"
#include "ui/main_window.h"
#include "ui/open_url.h"
#include "ui/toolkit_session.h"
#include "widgets/gdi_shared.h"
#include "widgets/link.h"
#include "widgets/mac_style_button.h"
#include "widgets/tooltip.h"

namespace {

INT_PTR OnInit(HWND box) {
  InitMacStyleBtn(box, IDCANCEL, "Close", false);
  InitLink(box, IDC_ABOUT_LINK, "brindlewerks.example", true, true);
  AddTooltip(GetDlgItem(box, IDC_ABOUT_LINK), "Visit author site and look at other plug-ins", nullptr);
  AddTooltip(GetDlgItem(box, IDCANCEL), "Close About Window", nullptr);
  SetDlgItemTextW(box, IDC_ABOUT_VERSION, L"" VEXLORIN_VERSION_TEXT);  // the project VERSION of the build
  return TRUE;
}

INT_PTR OnCommand(HWND box, int id, int notification) {
  if ((id == IDOK || id == IDCANCEL) && notification == 0) EndDialog(box, id);
  if (id == IDC_ABOUT_LINK) OpenUrl(kMakerHomePage, nullptr);
  return TRUE;
}

INT_PTR CALLBACK AboutBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
  try {
    switch (message) {
      case WM_INITDIALOG: return OnInit(box);
      case WM_COMMAND: return OnCommand(box, LOWORD(wParam), HIWORD(wParam));
      case WM_CTLCOLORSTATIC: return StaticTextColors(reinterpret_cast<HDC>(wParam));
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
    }
  } catch (...) {
    DebugLog("about box: exception stopped");
  }
  return FALSE;
}

}  // namespace

void ShowAboutBox(HWND owner) {
  DialogBoxParamW(shared::ResourceModule(), MAKEINTRESOURCEW(IDD_ABOUT_BOX), owner, AboutBoxProc, 0);
}

void DoAbout(intptr_t hostWindow) {
  HWND host = reinterpret_cast<HWND>(hostWindow);
  if (mainWindow == nullptr) mainWindow = host;
  ToolkitSession session(ToolkitSession::Scope::kAboutBox);
  ShowAboutBox(host);
}
