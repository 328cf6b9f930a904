#include "ui/about_box_win32.h"

#include "base/debug_log.h"
#include "resources/resource_ids.h"
#include "ui/dialog_colors_win32.h"
#include "ui/main_window_win32.h"
#include "ui/open_url_win32.h"
#include "ui/toolkit_session_win32.h"
#include "widgets/artwork_scale.h"
#include "widgets/bitmap_copy_win32.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/link_win32.h"
#include "widgets/mac_style_button_win32.h"
#include "widgets/tooltip_win32.h"
#include "widgets/window_dpi_win32.h"

namespace {

// The product picture at the box's scale, owned while the box shows it; none at 96 dpi, where the template's
// own stays.
gdi::BitmapOwner scaledPicture;

void ScalePicture(HWND box, int dpi) {
  const ArtworkScale scale = ArtworkScaleForDpi(dpi);
  if (scale == ArtworkScale::k100) return;
  const int id = ArtworkResourceId(IDB_PRODUCT_PICTURE, scale);
  // Drawn for the scale at or above the DPI: shrunk to the DPI where the two differ.
  const int percent = ArtworkScalePercent(scale);
  HBITMAP drawn =
      static_cast<HBITMAP>(LoadImageW(shared::ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
  if (drawn == nullptr) return;
  const SIZE size = BitmapSize(drawn);
  const int width = MulDiv(size.cx, dpi * 100, kBaseDpi * percent);
  const int height = MulDiv(size.cy, dpi * 100, kBaseDpi * percent);
  if (width != size.cx || height != size.cy) {
    DeleteObject(drawn);
    drawn = static_cast<HBITMAP>(
        LoadImageW(shared::ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, width, height, 0));
    if (drawn == nullptr) return;
  }
  scaledPicture.Reset(drawn);
  const auto previous = reinterpret_cast<HBITMAP>(
      SendDlgItemMessageW(box, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(drawn)));
  if (previous != nullptr && previous != drawn) DeleteObject(previous);
}

INT_PTR OnInit(HWND box) {
  const int dpi = DpiOfWindow(box);
  shared::ScaleButtonLook(shared::ResourceModule(), dpi);
  shared::ScaleLinkLook(dpi);
  ScalePicture(box, dpi);
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
      case WM_NCDESTROY: scaledPicture.Reset(); return FALSE;  // after the picture's control is gone
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
