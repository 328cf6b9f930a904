#include "ui/preview_dialog_win32.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>

#include "base/debug_log.h"
#include "base/platform.h"
#include "records/save_options.h"
#include "resources/resource_ids.h"
#include "ui/about_box_win32.h"
#include "ui/dialog_colors_win32.h"
#include "ui/dialog_layout.h"
#include "ui/dpi_rescale_win32.h"
#include "ui/header_bar_win32.h"
#include "ui/options_panel_win32.h"
#include "ui/palette_view_win32.h"
#include "ui/preview_refresh.h"
#include "ui/preview_session.h"
#include "ui/preview_source.h"
#include "ui/refreshing_property.h"
#include "ui/toolkit_session_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/preview_container_win32.h"
#include "widgets/preview_pixels.h"
#include "widgets/window_dpi_win32.h"

namespace {

// The worker's news for the dialog's thread: "call Deliver".
constexpr UINT kRefreshNews = WM_APP + 1;

class RefreshShown final : public PreviewRefresher::Listener {
 public:
  void RefreshProgress(int32_t done, int32_t total) override;
  void RowsChanged() override;
  void EncodingDone(int32_t size) override;
  void RefreshIdle() override;
};

// The child windows of the dialog while it exists, and the options panel's client width, taken when the panel
// is made; the layout and the minimum size use it.
struct PreviewDialogWindows {
  HWND dialog = nullptr;
  HWND preview = nullptr;
  HWND panel = nullptr;
  HWND statusBar = nullptr;
  HWND headerBar = nullptr;
  HWND progressBar = nullptr;
  int32_t panelWidth = 0;
  int32_t panelHeight = 0;                // the panel's template, as laid out at the dialog's DPI
  DialogScale scale;                      // the DPI of the dialog's monitor and the header's height
  ArtworkScale art = ArtworkScale::k100;  // the bitmaps' scale for that DPI
  LayoutRect minimumSize;                 // the smallest outer size that shows the whole panel
  std::unique_ptr<PreviewRefresher> refresher;
  bool closeWhenIdle = false;  // Save was pressed while a refresh ran: it closes with the refresh's PNG
};
PreviewDialogWindows windows;
RefreshShown refreshShown;
// The options panel's font after a DPI change, made for the new DPI; its controls use it until the dialog is gone.
gdi::FontOwner rescaledPanelFont;

PreviewContainer* Preview() {
  return windows.dialog != nullptr ? GetPreviewContainer(windows.dialog, IDC_PREVIEW) : nullptr;
}

void RedrawNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void Move(HWND window, const LayoutRect& rect, bool repaint) {
  if (window != nullptr) MoveWindow(window, rect.x, rect.y, rect.width, rect.height, repaint);
}

void PutStatusLine(const char* line) {
  if (windows.statusBar == nullptr) return;
  const platform::WidePath text = platform::FromUtf8(line);
  SetWindowTextW(windows.statusBar, reinterpret_cast<const wchar_t*>(text.c_str()));
}

void ComposeAndRedraw() {
  if (PreviewContainer* preview = Preview()) {
    preview->Compose();
    RedrawNow(windows.preview);
  }
}

// The rows as the records hold them, read with the options they were made with: an option the user has just
// changed applies only to the rows its refresh makes.
PreviewSource RefreshedPreviewSource() {
  return PreviewSourceFor(windows.refresher != nullptr ? windows.refresher->RowsOptions() : SaveOptions);
}

void StartedRefresh() {
  ShowWindow(windows.progressBar, SW_SHOW);
  SetPropW(windows.dialog, kRefreshingProperty, reinterpret_cast<HANDLE>(1));
}

void ShowProgress(int32_t done, int32_t total) {
  if (windows.progressBar == nullptr) return;
  SendMessageW(windows.progressBar, PBM_SETRANGE32, 0, total);
  SendMessageW(windows.progressBar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void RefreshShown::RefreshProgress(int32_t done, int32_t total) { ShowProgress(done, total); }

void RefreshShown::RowsChanged() {
  PaletteView.RefreshPaletteView();
  if (PreviewContainer* preview = Preview()) preview->Resample();
  ComposeAndRedraw();
}

void RefreshShown::EncodingDone(int32_t size) { ShowEncodedSize(size); }

void RefreshShown::RefreshIdle() {
  ShowWindow(windows.progressBar, SW_HIDE);
  RemovePropW(windows.dialog, kRefreshingProperty);
  if (windows.closeWhenIdle) EndDialog(windows.dialog, IDOK);
}

void PaletteEditedInPanel() {
  if (windows.refresher != nullptr) windows.refresher->PaletteEdited();
}

void Layout(int width, int height) {
  const PreviewDialogLayout layout = LayoutPreviewDialog(width, height, windows.panelWidth, windows.scale);
  Move(windows.preview, layout.preview, true);
  Move(windows.panel, layout.panel, true);
  Move(windows.statusBar, layout.statusBar, true);
  Move(windows.headerBar, layout.headerBar, true);
  Move(windows.progressBar, layout.progressBar, true);
  ComposeAndRedraw();
}

// A saved rectangle that lies on no monitor opens on the nearest one instead of out of reach.
RECT PlacedOnScreen(const RECT& saved) {
  if (MonitorFromRect(&saved, MONITOR_DEFAULTTONULL) != nullptr) return saved;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&saved, MONITOR_DEFAULTTONEAREST), &monitor)) return saved;
  const RECT& work = monitor.rcWork;
  const LayoutRect placed = KeepOnWorkArea({saved.left, saved.top, saved.right - saved.left, saved.bottom - saved.top},
                                           {work.left, work.top, work.right - work.left, work.bottom - work.top});
  return RECT{placed.x, placed.y, placed.x + placed.width, placed.y + placed.height};
}

void TakeDpi(int32_t dpi) {
  windows.scale.dpi = dpi;
  windows.art = ArtworkScaleForDpi(dpi);
  windows.scale.headerHeight = StripSizesAt(windows.art).height;
}

void MakeHeaderBar() {
  windows.headerBar = CreateHeaderBar(windows.dialog, windows.panelWidth, windows.art);
  // First in the tab order, as it is first in reading order.
  SetWindowPos(windows.headerBar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The smallest outer size for the panel as it is now and the dialog's frame at its DPI.
LayoutRect MinimumSizeNow() {
  RECT outerNow{};
  RECT clientNow{};
  GetWindowRect(windows.dialog, &outerNow);
  GetClientRect(windows.dialog, &clientNow);
  const int32_t frameHeight = (outerNow.bottom - outerNow.top) - (clientNow.bottom - clientNow.top);
  return MinimumTrackingSize(windows.panelWidth, windows.panelHeight, frameHeight, windows.scale);
}

// The options panel was laid out by the dialog manager at the DPI the dialog opened with: its controls, their
// font and the palette view are scaled by hand to the new one.
void RescalePanel(int32_t from, int32_t to) {
  if (windows.panel == nullptr || from == to) return;
  // The panel keeps the font the dialog manager made for it (and deletes it); its controls take the copy.
  const HFONT panelFont = rescaledPanelFont.get() != nullptr
                              ? rescaledPanelFont.get()
                              : reinterpret_cast<HFONT>(SendMessageW(windows.panel, WM_GETFONT, 0, 0));
  gdi::FontOwner scaledFont(FontScaledLike(panelFont, from, to));
  RescaleChildren(windows.panel, from, to, panelFont, scaledFont.get());
  if (scaledFont.get() != nullptr) rescaledPanelFont = std::move(scaledFont);  // the one replaced is unused now
  windows.panelWidth = MulDiv(windows.panelWidth, to, from);
  windows.panelHeight = MulDiv(windows.panelHeight, to, from);
  PaletteView.width = MulDiv(PaletteView.width, to, from);
  PaletteView.height = MulDiv(PaletteView.height, to, from);
  if (OptionsPanel* panel = GetOptionsPanel(windows.panel)) panel->TakeFacesForDpi(to);
}

// Moved to a monitor of another DPI: the font and the layout follow, in the rectangle the system suggests.
INT_PTR OnDpiChanged(int32_t dpi, const RECT& suggested) {
  const ArtworkScale art = windows.art;
  const int32_t before = windows.scale.dpi;
  TakeDpi(dpi);
  RescalePanel(before, dpi);
  if (windows.art != art && windows.headerBar != nullptr) {
    // The header's bitmaps and places belong to one scale: it is made again at the new one.
    DestroyWindow(windows.headerBar);
    MakeHeaderBar();
  }
  const gdi::FontOwner replaced = ScaleDialogFont(dpi);
  shared::ScaleButtonLook(shared::ResourceModule(), dpi);
  shared::ScaleLinkLook(dpi);
  const WPARAM font = reinterpret_cast<WPARAM>(DialogFont());
  SendMessageW(windows.statusBar, WM_SETFONT, font, TRUE);
  if (windows.panel != nullptr) {
    for (const int id : {IDC_PANEL_COLORS, IDC_PANEL_DITHER})
      SendDlgItemMessageW(windows.panel, id, WM_SETFONT, font, TRUE);
  }
  windows.minimumSize = MinimumSizeNow();
  SetWindowPos(windows.dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(windows.dialog, &client);
  Layout(client.right, client.bottom);
  RedrawWindow(windows.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return TRUE;
}

INT_PTR OnInitDialog(HWND dialog) {
  DebugLog("case WM_INITDIALOG:");
  BeginPreviewSession(PutStatusLine);
  windows = PreviewDialogWindows{};
  windows.dialog = dialog;
  windows.preview = GetDlgItem(dialog, IDC_PREVIEW);
  // Sized for the monitor the dialog opens on; the panel's combo boxes take the font as they are made.
  TakeDpi(DpiOfWindow(dialog));
  ScaleDialogFont(windows.scale.dpi);
  shared::ScaleButtonLook(shared::ResourceModule(), windows.scale.dpi);
  shared::ScaleLinkLook(windows.scale.dpi);

  DebugLog("Preview GetClass");
  if (PreviewContainer* preview = Preview()) {
    preview->mode = 1;
    preview->imageSource = RefreshedPreviewSource;
    preview->previewZoom = 1.0f;
  }

  DebugLog("before hLeftDlg = CreateDialogIndirectParam");
  windows.refresher = std::make_unique<PreviewRefresher>(
      refreshShown, [dialog] { return PostMessageW(dialog, kRefreshNews, 0, 0) != 0; });
  OptionsPanelRefresh = RefreshPreview;
  OptionsPanelPaletteEdited = PaletteEditedInPanel;
  windows.panel = CreateOptionsPanel(dialog);
  RECT panelClient{};
  if (windows.panel != nullptr) GetClientRect(windows.panel, &panelClient);
  windows.panelWidth = panelClient.right - panelClient.left;
  windows.panelHeight = panelClient.bottom - panelClient.top;
  windows.minimumSize = MinimumSizeNow();

  windows.statusBar = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), nullptr, nullptr);
  SendMessageW(windows.statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);

  MakeHeaderBar();
  windows.progressBar =
      CreateWindowExW(WS_EX_CLIENTEDGE, PROGRESS_CLASSW, L"", WS_CHILD, 10, 10, 100, 100, windows.statusBar,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), nullptr, nullptr);

  // A rectangle too small for the whole panel opens large enough; closing stores what it opened as.
  const LayoutRect stored{SaveOptions.windowLeft, SaveOptions.windowTop, SaveOptions.windowWidth,
                          SaveOptions.windowHeight};
  const LayoutRect opening = EnlargedTo(OpeningRectangle(stored, windows.scale.dpi), windows.minimumSize);
  const RECT saved{opening.x, opening.y, opening.x + opening.width, opening.y + opening.height};
  const RECT placed = PlacedOnScreen(saved);
  MoveWindow(dialog, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, FALSE);
  RECT client{};
  GetClientRect(dialog, &client);
  Layout(client.right, client.bottom);

  // The first encoding of the rows the save has reduced runs behind the opened dialog; the size line follows.
  StartedRefresh();
  StartFirstEncoding(*windows.refresher);
  DebugLog("end WM_CREATE:");
  // The keyboard starts on Save, the default button, though the header comes first in the tab order.
  if (HWND save = windows.panel != nullptr ? GetDlgItem(windows.panel, IDOK) : nullptr) {
    SetFocus(save);
    return FALSE;
  }
  return TRUE;
}

INT_PTR OnCommand(HWND dialog, int id, int notification) {
  if (id == IDOK && notification == 0) {
    // The file is the PNG of the options shown: a refresh still running finishes first.
    if (windows.refresher != nullptr && windows.refresher->Busy()) {
      windows.closeWhenIdle = true;
    } else {
      EndDialog(dialog, IDOK);
    }
  } else if (id == IDCANCEL && notification == 0) {
    DebugLog("Cancel Pressed");
    EndDialog(dialog, IDCANCEL);
  } else if (id == IDC_PREVIEW) {
    if (PreviewContainer* preview = Preview()) preview->Resample();
    ComposeAndRedraw();
  }
  return TRUE;
}

INT_PTR OnDestroy(HWND dialog) {
  DebugLog("case WM_DESTROY begin");
  // Nothing of a refresh outlives the dialog: the worker stops before the records it would feed are let go.
  if (windows.refresher != nullptr) windows.refresher->Stop();
  RemovePropW(dialog, kRefreshingProperty);
  RECT outer{};
  GetWindowRect(dialog, &outer);
  EndPreviewSession({outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top});
  OptionsPanelRefresh = nullptr;
  OptionsPanelPaletteEdited = nullptr;
  DebugLog("before delete _PalettePalette");
  PaletteView.ReleaseAll();
  windows = PreviewDialogWindows{};
  DebugLog("case WM_DESTROY end");
  return TRUE;
}

INT_PTR OnMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize = POINT{windows.minimumSize.width, windows.minimumSize.height};
  return TRUE;
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_SIZE:
      DebugLog("WM_SIZE");
      Layout(LOWORD(lParam), HIWORD(lParam));
      return FALSE;
    case WM_SHOWWINDOW:
      DebugLog("Show Window!!!");
      if (PreviewContainer* preview = Preview()) preview->Compose();
      return TRUE;
    case WM_GETMINMAXINFO: return OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_DPICHANGED: return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC: return StaticTextColors(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
    case WM_DESTROY: return OnDestroy(dialog);
    case WM_NCDESTROY: rescaledPanelFont.Reset(); return FALSE;  // after the panel's controls are gone
    case kRefreshNews:
      if (windows.refresher != nullptr) windows.refresher->Deliver();
      return TRUE;
  }
  return FALSE;
}

}  // namespace

extern "C" INT_PTR CALLBACK DissolveProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleMessage(dialog, message, wParam, lParam);
  } catch (...) {
    DebugLog("preview dialog: exception stopped");
    return FALSE;
  }
}

void RefreshPreview() {
  if (windows.refresher == nullptr) return;
  StartedRefresh();
  windows.refresher->Request();
}

void Win32PreviewDialog::ShowDialogProgress(int32_t position, int32_t range) { ShowProgress(position, range); }

void Win32PreviewDialog::DoAbout(intptr_t hostWindow) { ::DoAbout(hostWindow); }

bool Win32PreviewDialog::DoUI() {
  DebugLog("DoUI>>>>>");
  ToolkitSession session;  // steps 2 to 5 and, when it ends, their counterparts
  DebugLog("before DialogBoxParam");
  const INT_PTR result = DialogBoxParamW(shared::ResourceModule(), MAKEINTRESOURCEW(IDD_PREVIEW_DIALOG),
                                         GetActiveWindow(), DissolveProc, 0);
  DebugLog("after DialogBoxParam");
  return result == IDOK;
}
