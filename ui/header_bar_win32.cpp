#include "ui/header_bar_win32.h"

#include "base/debug_log.h"
#include "resources/resource_ids.h"
#include "ui/about_box_win32.h"
#include "ui/dialog_colors_win32.h"
#include "ui/dialog_layout.h"
#include "ui/open_url_win32.h"
#include "widgets/control_button_win32.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/offscreen_win32.h"
#include "widgets/tooltip_win32.h"
#include "widgets/window_class_win32.h"

namespace {

// The strip's three bitmaps, loaded when the header is made and deleted with it, the panel's width it leaves
// room for and the scale of its artwork.
struct HeaderStrip {
  gdi::BitmapOwner left;
  gdi::BitmapOwner right;
  gdi::BitmapOwner middle;
  int32_t panelWidth = 0;
  ArtworkScale scale = ArtworkScale::k100;
};
HeaderStrip strip;

HBITMAP LoadStripBitmap(int id) {
  return static_cast<HBITMAP>(LoadImageW(shared::ResourceModule(), MAKEINTRESOURCEW(ArtworkResourceId(id, strip.scale)),
                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

// A place on the 100 % strip, at the strip's scale.
int AtScale(int pixels) { return ArtworkScaledSize(pixels, strip.scale); }

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

void PaintStrip(HDC target, int width, int height) {
  OffscreenBuffer buffer(target, width, height);
  gdi::DcOwner source(CreateCompatibleDC(target));
  const StripSizes sizes = StripSizesAt(strip.scale);
  for (const StripCopy& copy : HeaderStripCopies(width, strip.panelWidth, sizes)) {
    const HBITMAP bitmap = copy.part == StripPart::kLeft    ? strip.left.get()
                           : copy.part == StripPart::kRight ? strip.right.get()
                                                            : strip.middle.get();
    gdi::SelectGuard onSource(source.get(), bitmap);
    BitBlt(buffer.dc(), copy.destinationX, 0, copy.width, sizes.height, source.get(), copy.sourceX, 0, SRCCOPY);
  }
  buffer.Flush();
}

void PaintStrip(HWND header, HDC target) {
  RECT client{};
  GetClientRect(header, &client);
  PaintStrip(target, client.right, client.bottom);
}

INT_PTR OnInit(HWND header) {
  strip.left.Reset(LoadStripBitmap(IDB_HEADER_LEFT));
  strip.right.Reset(LoadStripBitmap(IDB_HEADER_RIGHT));
  strip.middle.Reset(LoadStripBitmap(IDB_HEADER_MIDDLE));
  for (const HeaderButton& place : kButtons) {
    ControlButton* button = GetControl<ControlButton>(header, place.id, kControlButtonClass);
    if (button == nullptr) {
      DebugLog(place.missing);
      continue;
    }
    MoveWindow(button->window, AtScale(place.x), AtScale(place.y), AtScale(place.width), AtScale(place.height), FALSE);
    button->clientWidth = AtScale(place.width);
    button->clientHeight = AtScale(place.height);
    button->SetBitmaps(ArtworkResourceId(place.normal, strip.scale), ArtworkResourceId(place.hover, strip.scale),
                       ArtworkResourceId(place.pressed, strip.scale), 0);
    AddTooltip(button->window, place.tooltip, nullptr);
  }
  return TRUE;
}

INT_PTR OnSize(HWND header, int width) {
  if (HWND site = GetDlgItem(header, IDC_HEADER_SITE))
    SetWindowPos(site, nullptr, width - StripSizesAt(strip.scale).siteFromRight, AtScale(12), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return TRUE;
}

INT_PTR OnPaint(HWND header) {
  gdi::PaintScope paint(header);
  PaintStrip(header, paint.get());
  return TRUE;
}

INT_PTR OnCommand(HWND header, int id) {
  if (id == IDC_HEADER_ABOUT) ShowAboutBox(header);
  if (id == IDC_HEADER_SITE) OpenUrl(kMakerHomePage, header);
  if (id == IDC_HEADER_ADVERT) OpenUrl(kMakerProductPage, header);
  return TRUE;
}

INT_PTR OnDestroy() {
  strip = HeaderStrip{};
  return TRUE;
}

INT_PTR CALLBACK HeaderBarProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_INITDIALOG: return OnInit(header);
      case WM_SIZE: return OnSize(header, LOWORD(lParam));
      case WM_PAINT: return OnPaint(header);
      case WM_ERASEBKGND: PaintStrip(header, reinterpret_cast<HDC>(wParam)); return TRUE;
      case WM_COMMAND: return OnCommand(header, LOWORD(wParam));
      case WM_CTLCOLORSTATIC: return StaticTextColors(reinterpret_cast<HDC>(wParam));
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
      case WM_DESTROY: return OnDestroy();
    }
  } catch (...) {
    DebugLog("header bar: exception stopped");
  }
  return FALSE;
}

}  // namespace

HWND CreateHeaderBar(HWND dialog, int32_t panelWidth, ArtworkScale scale) {
  strip.panelWidth = panelWidth;
  strip.scale = scale;
  return CreateDialogParamW(shared::ResourceModule(), MAKEINTRESOURCEW(IDD_HEADER_BAR), dialog, HeaderBarProc, 0);
}
