#include "ui/header_bar_win32.h"

#include <memory>

#include "base/debug_log.h"
#include "resources/resource_ids.h"
#include "ui/about_box_win32.h"
#include "ui/dialog_colors_win32.h"
#include "ui/dialog_layout.h"
#include "ui/open_url_win32.h"
#include "widgets/control_button_win32.h"
#include "widgets/dialog_object_win32.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/offscreen_win32.h"
#include "widgets/tooltip_win32.h"
#include "widgets/window_class_win32.h"

namespace {

struct HeaderButton {
  int id;
  int x, y, width, height;
  int normal, hover, pressed;
  const char* tooltip;
  const char* missing;
};
const HeaderButton kButtons[] = {
    {IDC_HEADER_ABOUT, 87, 12, 181, 19, IDB_ABOUT_NORMAL, IDB_ABOUT_HOVER, IDB_ABOUT_PRESSED, "About this software",
     "!!!!ERROR!!!! SAbout=NULL!"},
    {IDC_HEADER_SITE, 259, 12, 150, 20, IDB_SITE_NORMAL, IDB_SITE_HOVER, IDB_SITE_PRESSED,
     "Visit our site and get more plug-ins", "!!!!ERROR!!!! SLink=NULL!"},
    {IDC_HEADER_ADVERT, 16, 3, 35, 34, IDB_ADVERT_NORMAL, IDB_ADVERT_HOVER, IDB_ADVERT_NORMAL,
     "See advert of other plug-ins", "!!!!ERROR!!!! SAlpha=NULL!"},
};

// The header's object: the strip's three bitmaps, loaded when the header is made and deleted with it, the
// panel's width it leaves room for, the scale of its artwork and the web pages its buttons open.
class HeaderBar final : public DialogObject {
 public:
  HeaderBar(int32_t panelWidth, ArtworkScale scale) : panelWidth_(panelWidth), scale_(scale) {}
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HBITMAP LoadStripBitmap(int id) const;
  int AtScale(int pixels) const;
  void PaintStrip(HDC target, int width, int height) const;
  void PaintStrip(HDC target) const;
  INT_PTR OnInit();
  INT_PTR OnSize(int width);
  INT_PTR OnPaint();
  INT_PTR OnCommand(int id);

  gdi::BitmapOwner left_;
  gdi::BitmapOwner right_;
  gdi::BitmapOwner middle_;
  int32_t panelWidth_;
  ArtworkScale scale_;
  WebPageOpener webPages_;  // the About box shown from the header opens its page through it too
};

HBITMAP HeaderBar::LoadStripBitmap(int id) const {
  return static_cast<HBITMAP>(LoadImageW(shared::ResourceModule(), MAKEINTRESOURCEW(ArtworkResourceId(id, scale_)),
                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

// A place on the 100 % strip, at the strip's scale.
int HeaderBar::AtScale(int pixels) const { return ArtworkScaledSize(pixels, scale_); }

void HeaderBar::PaintStrip(HDC target, int width, int height) const {
  OffscreenBuffer buffer(target, width, height);
  gdi::DcOwner source(CreateCompatibleDC(target));
  const StripSizes sizes = StripSizesAt(scale_);
  for (const StripCopy& copy : HeaderStripCopies(width, panelWidth_, sizes)) {
    const HBITMAP bitmap = copy.part == StripPart::kLeft    ? left_.get()
                           : copy.part == StripPart::kRight ? right_.get()
                                                            : middle_.get();
    gdi::SelectGuard onSource(source.get(), bitmap);
    BitBlt(buffer.dc(), copy.destinationX, 0, copy.width, sizes.height, source.get(), copy.sourceX, 0, SRCCOPY);
  }
  buffer.Flush();
}

void HeaderBar::PaintStrip(HDC target) const {
  RECT client{};
  GetClientRect(window, &client);
  PaintStrip(target, client.right, client.bottom);
}

INT_PTR HeaderBar::OnInit() {
  left_.Reset(LoadStripBitmap(IDB_HEADER_LEFT));
  right_.Reset(LoadStripBitmap(IDB_HEADER_RIGHT));
  middle_.Reset(LoadStripBitmap(IDB_HEADER_MIDDLE));
  for (const HeaderButton& place : kButtons) {
    ControlButton* button = GetControl<ControlButton>(window, place.id, kControlButtonClass);
    if (button == nullptr) {
      DebugLog(place.missing);
      continue;
    }
    MoveWindow(button->window, AtScale(place.x), AtScale(place.y), AtScale(place.width), AtScale(place.height), FALSE);
    button->clientWidth = AtScale(place.width);
    button->clientHeight = AtScale(place.height);
    button->SetBitmaps(ArtworkResourceId(place.normal, scale_), ArtworkResourceId(place.hover, scale_),
                       ArtworkResourceId(place.pressed, scale_), 0);
    AddTooltip(button->window, place.tooltip, nullptr);
  }
  return TRUE;
}

INT_PTR HeaderBar::OnSize(int width) {
  if (HWND site = GetDlgItem(window, IDC_HEADER_SITE))
    SetWindowPos(site, nullptr, width - StripSizesAt(scale_).siteFromRight, AtScale(12), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return TRUE;
}

INT_PTR HeaderBar::OnPaint() {
  gdi::PaintScope paint(window);
  PaintStrip(paint.get());
  return TRUE;
}

INT_PTR HeaderBar::OnCommand(int id) {
  // The pages, and the About box's link, belong to the dialog the header sits in.
  if (id == IDC_HEADER_ABOUT) ShowAboutBox(window, GetParent(window), webPages_);
  if (id == IDC_HEADER_SITE) webPages_.OpenUrl(kMakerHomePage, window);
  if (id == IDC_HEADER_ADVERT) webPages_.OpenUrl(kMakerProductPage, window);
  return TRUE;
}

INT_PTR HeaderBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInit();
    case WM_SIZE: return OnSize(LOWORD(lParam));
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: PaintStrip(reinterpret_cast<HDC>(wParam)); return TRUE;
    case WM_COMMAND: return OnCommand(LOWORD(wParam));
    case WM_CTLCOLORSTATIC: return StaticTextColors(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
  }
  return FALSE;
}

INT_PTR CALLBACK HeaderBarProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  return DialogObjectProc(header, message, wParam, lParam, "header bar: exception stopped");
}

}  // namespace

HWND CreateHeaderBar(HWND dialog, int32_t panelWidth, ArtworkScale scale) {
  return CreateDialogObject(std::make_unique<HeaderBar>(panelWidth, scale), IDD_HEADER_BAR, dialog, HeaderBarProc);
}
