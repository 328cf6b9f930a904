#include "ui/about_box_win32.h"

#include <memory>

#include "resources/resource_ids.h"
#include "ui/dialog_colors_win32.h"
#include "ui/open_url_win32.h"
#include "ui/toolkit_session_win32.h"
#include "widgets/artwork_scale.h"
#include "widgets/bitmap_copy_win32.h"
#include "widgets/dialog_object_win32.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/link_win32.h"
#include "widgets/mac_style_button_win32.h"
#include "widgets/tooltip_win32.h"
#include "widgets/window_dpi_win32.h"

namespace {

class AboutBox final : public DialogObject {
 public:
  AboutBox(HWND pageOwner, WebPageOpener& webPages) : pageOwner_(pageOwner), webPages_(webPages) {}
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ScalePicture(int dpi);
  INT_PTR OnInit();
  INT_PTR OnCommand(int id, int notification);

  HWND pageOwner_;
  WebPageOpener& webPages_;
  // The product picture at the box's scale, owned while the box shows it (the picture's control is gone when the
  // object goes); none at 96 dpi, where the template's own stays.
  gdi::BitmapOwner scaledPicture_;
};

void AboutBox::ScalePicture(int dpi) {
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
  scaledPicture_.Reset(drawn);
  const auto previous = reinterpret_cast<HBITMAP>(
      SendDlgItemMessageW(window, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(drawn)));
  if (previous != nullptr && previous != drawn) DeleteObject(previous);
}

INT_PTR AboutBox::OnInit() {
  const int dpi = DpiOfWindow(window);
  shared::ScaleButtonLook(shared::ResourceModule(), dpi);
  shared::ScaleLinkLook(dpi);
  ScalePicture(dpi);
  InitMacStyleBtn(window, IDCANCEL, "Close", false);
  InitLink(window, IDC_ABOUT_LINK, "brindlewerks.example", true, true);
  AddTooltip(GetDlgItem(window, IDC_ABOUT_LINK), "Visit author site and look at other plug-ins", nullptr);
  AddTooltip(GetDlgItem(window, IDCANCEL), "Close About Window", nullptr);
  SetDlgItemTextW(window, IDC_ABOUT_VERSION, L"" VEXLORIN_VERSION_TEXT);  // the project VERSION of the build
  return TRUE;
}

INT_PTR AboutBox::OnCommand(int id, int notification) {
  if ((id == IDOK || id == IDCANCEL) && notification == 0) EndDialog(window, id);
  if (id == IDC_ABOUT_LINK) webPages_.OpenUrl(kMakerHomePage, pageOwner_);
  return TRUE;
}

INT_PTR AboutBox::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnInit();
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC: return StaticTextColors(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
  }
  return FALSE;
}

INT_PTR CALLBACK AboutBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  return DialogObjectProc(box, message, wParam, lParam, "about box: exception stopped");
}

}  // namespace

void ShowAboutBox(HWND owner, HWND pageOwner, WebPageOpener& webPages) {
  RunDialogObject(std::make_unique<AboutBox>(pageOwner, webPages), IDD_ABOUT_BOX, owner, AboutBoxProc);
}

void DoAbout(intptr_t hostWindow) {
  HWND host = reinterpret_cast<HWND>(hostWindow);
  ToolkitSession session(ToolkitSession::Scope::kAboutBox);
  WebPageOpener webPages;
  ShowAboutBox(host, host, webPages);
}
