#include "ui/options_panel.h"

#include "host/debug_log.h"
#include "resources/resource_ids.h"
#include "ui/dialog_colors.h"
#include "widgets/gdi_shared.h"
#include "widgets/mac_style_button.h"
#include "widgets/tooltip.h"

namespace {

INT_PTR OnInit(HWND panel) {
  InitMacStyleBtn(panel, IDOK, "OK", true);
  InitMacStyleBtn(panel, IDCANCEL, "Cancel", false);
  AddTooltip(GetDlgItem(panel, IDOK), "Save image and close", nullptr);
  AddTooltip(GetDlgItem(panel, IDCANCEL), "Dont save and close", nullptr);
  return TRUE;
}

INT_PTR OnCommand(HWND panel, int id, int notification) {
  // Save and Cancel belong to the preview dialog.
  if ((id == IDOK || id == IDCANCEL) && notification == 0) PostMessageW(GetParent(panel), WM_COMMAND, id, 0);
  return TRUE;
}

INT_PTR CALLBACK OptionsPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM) {
  try {
    switch (message) {
      case WM_INITDIALOG:
        return OnInit(panel);
      case WM_COMMAND:
        return OnCommand(panel, LOWORD(wParam), HIWORD(wParam));
      case WM_CTLCOLORSTATIC:
        return StaticTextColors(reinterpret_cast<HDC>(wParam));
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
    }
  } catch (...) {
    DebugLog("options panel: exception stopped");
  }
  return FALSE;
}

}  // namespace

HWND CreateOptionsPanel(HWND dialog) {
  return CreateDialogParamW(shared::ResourceModule(), MAKEINTRESOURCEW(IDD_OPTIONS_PANEL), dialog, OptionsPanelProc, 0);
}
