#include "ui/preview_dialog_win32.h"

#include <commctrl.h>

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>

#include "base/debug_log.h"
#include "base/platform.h"
#include "png/size_text.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "resources/resource_ids.h"
#include "ui/about_box_win32.h"
#include "ui/dialog_colors_win32.h"
#include "ui/dpi_rescale_win32.h"
#include "ui/header_bar_win32.h"
#include "ui/options_panel_win32.h"
#include "ui/palette_view_win32.h"
#include "ui/pane_captions.h"
#include "ui/preview_session.h"
#include "ui/preview_source.h"
#include "ui/psnr_readout.h"
#include "ui/refreshing_property.h"
#include "ui/toolkit_session_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/parent_colors_win32.h"
#include "widgets/preview_container_win32.h"
#include "widgets/preview_zoom.h"
#include "widgets/window_dpi_win32.h"

namespace {

// The worker's news for the dialog's thread: "call Deliver".
constexpr UINT kRefreshNews = WM_APP + 1;
// The system's dialog class, "#32770".
constexpr ULONG_PTR kDialogClassAtom = 32770;

void RedrawNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void Move(HWND window, const LayoutRect& rect, bool repaint) {
  if (window != nullptr) MoveWindow(window, rect.x, rect.y, rect.width, rect.height, repaint);
}

// The zoom list: Fit, then the steps.
int32_t ZoomAtListIndex(LRESULT index) {
  if (index <= 0 || index > static_cast<LRESULT>(std::size(kZoomSteps))) return kFitZoom;
  return kZoomSteps[index - 1];
}

int ZoomListIndex(int32_t zoom) {
  for (size_t i = 0; i < std::size(kZoomSteps); ++i) {
    if (kZoomSteps[i] == zoom) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::wstring ZoomText(int32_t zoom) {
  if (zoom == kFitZoom) return L"Fit";
  wchar_t text[16];
  if (zoom % 10 != 0) {
    std::swprintf(text, std::size(text), L"%d.%d%%", zoom / 10, zoom % 10);
  } else {
    std::swprintf(text, std::size(text), L"%d%%", zoom / 10);
  }
  return text;
}

HWND MakeChild(HWND dialog, const wchar_t* className, const wchar_t* text, DWORD style, int id, HFONT font) {
  const HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, dialog,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// The dialog's message loop shows each message here before it goes on: a zoom key or Ctrl with the wheel, for
// whichever of the preview dialog's windows it is meant, is the dialog's and goes no further.
LRESULT CALLBACK ZoomInputFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && lParam != 0) {
    const MSG& message = *reinterpret_cast<const MSG*>(lParam);
    PreviewDialog* dialog = PreviewDialog::Of(GetAncestor(message.hwnd, GA_ROOT));
    if (dialog != nullptr && dialog->OnZoomInput(message)) return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
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

}  // namespace

PreviewDialog* PreviewDialog::Of(HWND dialog) {
  if (dialog == nullptr || !IsWindow(dialog)) return nullptr;
  if (GetClassLongPtrW(dialog, GCW_ATOM) != kDialogClassAtom) return nullptr;
  if (reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC)) != &DissolveProc) return nullptr;
  return reinterpret_cast<PreviewDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void PreviewDialog::PutStatusLine(void* owner, const char* line) {
  auto* dialog = static_cast<PreviewDialog*>(owner);
  if (dialog == nullptr || dialog->statusBar_ == nullptr) return;
  const platform::WidePath text = platform::FromUtf8(line);
  SetWindowTextW(dialog->statusBar_, reinterpret_cast<const wchar_t*>(text.c_str()));
}

PreviewContainer* PreviewDialog::Preview() const {
  return dialog_ != nullptr ? GetPreviewContainer(dialog_, IDC_PREVIEW) : nullptr;
}

void PreviewDialog::ComposeAndRedraw() {
  if (PreviewContainer* preview = Preview()) {
    preview->Compose();
    RedrawNow(preview_);
  }
}

// The rows as the records hold them, read with the options they were made with: an option the user has just
// changed applies only to the rows its refresh makes.
PreviewSource PreviewDialog::RefreshedPreviewSource() const {
  return PreviewSourceFor(refresher_ != nullptr ? refresher_->RowsOptions() : SaveOptions);
}

void PreviewDialog::StartedRefresh() {
  ShowWindow(psnrReadout_, SW_HIDE);  // under the progress bar, and about a file that is being replaced
  ShowWindow(progressBar_, SW_SHOW);
  SetPropW(dialog_, kRefreshingProperty, reinterpret_cast<HANDLE>(1));
}

void PreviewDialog::ShowProgress(int32_t done, int32_t total) {
  if (progressBar_ == nullptr) return;
  SendMessageW(progressBar_, PBM_SETRANGE32, 0, total);
  SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void PreviewDialog::RefreshProgress(int32_t done, int32_t total) { ShowProgress(done, total); }

PreviewSource PreviewDialog::OriginalSource() const {
  const SaveOptionsRecord& options = refresher_ != nullptr ? refresher_->RowsOptions() : SaveOptions;
  return OriginalPreviewSource(ImageToReduce(options.convertToSrgb != 0), colorTable_);
}

void PreviewDialog::RowsChanged() {
  PaletteView.RefreshPaletteView();
  if (OptionsPanel* panel = GetOptionsPanel(panel_)) panel->PaletteRebuilt();
  if (PreviewContainer* preview = Preview()) preview->Resample();
  ComposeAndRedraw();
}

void PreviewDialog::EncodingDone(int32_t size) {
  ShowEncodedSize(size);
  fileBytes_ = size;
  ShowCaptions();
}

void PreviewDialog::ShowCaptions() {
  PreviewContainer* preview = Preview();
  if (preview == nullptr) return;
  const platform::WidePath originalText = platform::FromUtf8(OriginalCaption(OriginalImageSize()));
  preview->captions[0] = reinterpret_cast<const wchar_t*>(originalText.c_str());
  std::string result = "Vexlorin";
  if (fileBytes_ >= 0 && refresher_ != nullptr) {
    const bool palette = UsablePngType(refresher_->RowsOptions().pngType) == kPngPalette;
    result = ResultCaption(fileBytes_, palette ? Palette.count : 0,
                           refresher_->Busy() ? std::string() : PsnrReadoutText(refresher_->FilePsnr()));
  }
  const platform::WidePath resultText = platform::FromUtf8(result);
  preview->captions[1] = reinterpret_cast<const wchar_t*>(resultText.c_str());
  if (preview->view == kTwoUp) InvalidateRect(preview_, nullptr, FALSE);
}

void PreviewDialog::MakeViewLists() {
  const HFONT font = toolkit_.DialogFont();
  zoomLabel_ = MakeChild(dialog_, L"STATIC", L"Zoom", SS_LEFT, IDC_ZOOM_LABEL, font);
  zoomList_ = MakeChild(dialog_, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_ZOOM, font);
  viewLabel_ = MakeChild(dialog_, L"STATIC", L"View", SS_LEFT, IDC_VIEW_LABEL, font);
  viewList_ = MakeChild(dialog_, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_VIEW, font);
  SendMessageW(zoomList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ZoomText(kFitZoom).c_str()));
  for (const int32_t step : kZoomSteps) {
    SendMessageW(zoomList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ZoomText(step).c_str()));
  }
  SendMessageW(viewList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"1-Up"));
  SendMessageW(viewList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"2-Up"));
  // The lists in reading order, after the header and before the options panel; the labels stay behind the status
  // bar, the dialog's first static text.
  SetWindowPos(zoomList_, headerBar_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(viewList_, zoomList_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PreviewDialog::ShowZoomInList() {
  const PreviewContainer* preview = Preview();
  if (preview == nullptr) return;
  SendMessageW(zoomList_, CB_SETCURSEL, static_cast<WPARAM>(ZoomListIndex(preview->zoom)), 0);
  SendMessageW(viewList_, CB_SETCURSEL, preview->view == kTwoUp ? 1 : 0, 0);
}

bool PreviewDialog::OnZoomInput(const MSG& message) {
  PreviewContainer* preview = Preview();
  if (preview == nullptr) return false;
  if (message.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0) {
    int32_t zoom = -1;
    switch (message.wParam) {
      case VK_OEM_PLUS:
      case VK_ADD: zoom = ZoomIn(preview->scale); break;
      case VK_OEM_MINUS:
      case VK_SUBTRACT: zoom = ZoomOut(preview->scale); break;
      case '0':
      case VK_NUMPAD0: zoom = kFitZoom; break;
      case '1':
      case VK_NUMPAD1: zoom = kFullSizeZoom; break;
    }
    if (zoom < 0) return false;
    preview->ZoomTo(zoom);
    ShowZoomInList();
    return true;
  }
  if (message.message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(message.wParam) & MK_CONTROL) != 0) {
    POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    RECT client{};
    GetClientRect(preview_, &client);
    if (!ScreenToClient(preview_, &at) || !PtInRect(&client, at)) return false;
    const int delta = GET_WHEEL_DELTA_WPARAM(message.wParam);
    if (delta == 0) return true;
    preview->ZoomAbout(delta > 0 ? ZoomIn(preview->scale) : ZoomOut(preview->scale), at);
    ShowZoomInList();
    return true;
  }
  return false;
}

void PreviewDialog::ShowPsnrReadout() {
  if (psnrReadout_ == nullptr || refresher_ == nullptr) return;
  // A second line, as the size line's text has, so that the two figures stand on one line.
  const platform::WidePath text = platform::FromUtf8("\n\r" + PsnrReadoutText(refresher_->FilePsnr()));
  SetWindowTextW(psnrReadout_, reinterpret_cast<const wchar_t*>(text.c_str()));
  ShowWindow(psnrReadout_, SW_SHOW);
}

void PreviewDialog::RefreshIdle() {
  ShowWindow(progressBar_, SW_HIDE);
  ShowPsnrReadout();
  ShowCaptions();
  RemovePropW(dialog_, kRefreshingProperty);
  if (closeWhenIdle_) EndDialog(dialog_, IDOK);
}

void PreviewDialog::RefreshPreview() {
  if (refresher_ == nullptr) return;
  StartedRefresh();
  refresher_->Request();
}

void PreviewDialog::RefreshEncoding() {
  if (refresher_ == nullptr) return;
  StartedRefresh();
  refresher_->RequestEncoding();
}

void PreviewDialog::PaletteEditedInPanel() {
  if (refresher_ != nullptr) refresher_->PaletteEdited();
}

void PreviewDialog::Layout(int width, int height) {
  const PreviewDialogLayout layout = LayoutPreviewDialog(width, height, panelWidth_, scale_);
  Move(preview_, layout.preview, true);
  Move(panel_, layout.panel, true);
  Move(statusBar_, layout.statusBar, true);
  Move(headerBar_, layout.headerBar, true);
  Move(progressBar_, layout.progressBar, true);
  Move(psnrReadout_, layout.psnrReadout, true);
  Move(zoomLabel_, layout.zoomLabel, true);
  Move(zoomList_, layout.zoom, true);
  Move(viewLabel_, layout.viewLabel, true);
  Move(viewList_, layout.view, true);
  ComposeAndRedraw();
}

void PreviewDialog::TakeDpi(int32_t dpi) {
  scale_.dpi = dpi;
  art_ = ArtworkScaleForDpi(dpi);
  scale_.headerHeight = StripSizesAt(art_).height;
}

void PreviewDialog::MakeHeaderBar() {
  headerBar_ = CreateHeaderBar(dialog_, panelWidth_, art_);
  // First in the tab order, as it is first in reading order.
  SetWindowPos(headerBar_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The smallest outer size for the panel as it is now and the dialog's frame at its DPI.
LayoutRect PreviewDialog::MinimumSizeNow() const {
  RECT outerNow{};
  RECT clientNow{};
  GetWindowRect(dialog_, &outerNow);
  GetClientRect(dialog_, &clientNow);
  const int32_t frameHeight = (outerNow.bottom - outerNow.top) - (clientNow.bottom - clientNow.top);
  return MinimumTrackingSize(panelWidth_, panelHeight_, frameHeight, scale_);
}

// The options panel was laid out by the dialog manager at the DPI the dialog opened with: its controls, their
// font and the palette view are scaled by hand to the new one.
void PreviewDialog::RescalePanel(int32_t from, int32_t to) {
  if (panel_ == nullptr || from == to) return;
  // The panel keeps the font the dialog manager made for it (and deletes it); its controls take the copy.
  const HFONT panelFont = rescaledPanelFont_.get() != nullptr
                              ? rescaledPanelFont_.get()
                              : reinterpret_cast<HFONT>(SendMessageW(panel_, WM_GETFONT, 0, 0));
  gdi::FontOwner scaledFont(FontScaledLike(panelFont, from, to));
  RescaleChildren(panel_, from, to, panelFont, scaledFont.get());
  if (scaledFont.get() != nullptr) rescaledPanelFont_ = std::move(scaledFont);  // the one replaced is unused now
  panelWidth_ = MulDiv(panelWidth_, to, from);
  panelHeight_ = MulDiv(panelHeight_, to, from);
  PaletteView.width = MulDiv(PaletteView.width, to, from);
  PaletteView.height = MulDiv(PaletteView.height, to, from);
  if (OptionsPanel* panel = GetOptionsPanel(panel_)) panel->TakeFacesForDpi(to);
}

// Moved to a monitor of another DPI: the font and the layout follow, in the rectangle the system suggests.
INT_PTR PreviewDialog::OnDpiChanged(int32_t dpi, const RECT& suggested) {
  const ArtworkScale art = art_;
  const int32_t before = scale_.dpi;
  TakeDpi(dpi);
  RescalePanel(before, dpi);
  if (art_ != art && headerBar_ != nullptr) {
    // The header's bitmaps and places belong to one scale: it is made again at the new one.
    DestroyWindow(headerBar_);
    MakeHeaderBar();
  }
  const gdi::FontOwner replaced = toolkit_.ScaleDialogFont(dpi);
  shared::ScaleButtonLook(shared::ResourceModule(), dpi);
  shared::ScaleLinkLook(dpi);
  const WPARAM font = reinterpret_cast<WPARAM>(toolkit_.DialogFont());
  SendMessageW(statusBar_, WM_SETFONT, font, TRUE);
  SendMessageW(psnrReadout_, WM_SETFONT, font, TRUE);
  for (const HWND child : {zoomLabel_, zoomList_, viewLabel_, viewList_}) SendMessageW(child, WM_SETFONT, font, TRUE);
  if (OptionsPanel* panel = GetOptionsPanel(panel_)) panel->TakeListFont(toolkit_.DialogFont());
  minimumSize_ = MinimumSizeNow();
  SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(dialog_, &client);
  Layout(client.right, client.bottom);
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return TRUE;
}

INT_PTR PreviewDialog::OnInitDialog(HWND dialog) {
  DebugLog("case WM_INITDIALOG:");
  BeginPreviewSession(&PutStatusLine, this);
  dialog_ = dialog;
  preview_ = GetDlgItem(dialog, IDC_PREVIEW);
  // Sized for the monitor the dialog opens on; the panel's combo boxes take the font as they are made.
  TakeDpi(DpiOfWindow(dialog));
  toolkit_.ScaleDialogFont(scale_.dpi);  // the font it replaces is used by no window yet
  shared::ScaleButtonLook(shared::ResourceModule(), scale_.dpi);
  shared::ScaleLinkLook(scale_.dpi);

  DebugLog("Preview GetClass");
  if (WholeImage._WholeMode == kWholeIndexed)
    std::copy(std::begin(Palette.entries), std::end(Palette.entries), colorTable_);
  if (PreviewContainer* preview = Preview()) {
    preview->mode = 1;
    preview->zoom = UsablePreviewZoom(SaveOptions.previewZoom);
    preview->view = UsablePreviewView(SaveOptions.previewView);
    preview->originalSource = [this] { return OriginalSource(); };
    preview->imageSource = [this] { return RefreshedPreviewSource(); };
  }

  DebugLog("before hLeftDlg = CreateDialogIndirectParam");
  PreviewRefresher::Listener& listener = *this;
  refresher_ =
      std::make_unique<PreviewRefresher>(listener, [dialog] { return PostMessageW(dialog, kRefreshNews, 0, 0) != 0; });
  panel_ = CreateOptionsPanel(
      dialog, {[this] { RefreshPreview(); }, [this] { PaletteEditedInPanel(); }, [this] { RefreshEncoding(); }},
      toolkit_.DialogFont());
  RECT panelClient{};
  if (panel_ != nullptr) GetClientRect(panel_, &panelClient);
  panelWidth_ = panelClient.right - panelClient.left;
  panelHeight_ = panelClient.bottom - panelClient.top;
  minimumSize_ = MinimumSizeNow();

  // It clips its children, which would otherwise vanish under its own text whenever that changes.
  statusBar_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100,
                               100, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), nullptr, nullptr);
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(toolkit_.DialogFont()), FALSE);
  ForwardChildColorsToParent(statusBar_);
  psnrReadout_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_RIGHT, 0, 0, 100, 100, statusBar_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PSNR_READOUT)), nullptr, nullptr);
  SendMessageW(psnrReadout_, WM_SETFONT, reinterpret_cast<WPARAM>(toolkit_.DialogFont()), FALSE);

  MakeHeaderBar();
  MakeViewLists();
  ShowZoomInList();
  ShowCaptions();
  progressBar_ = CreateWindowExW(WS_EX_CLIENTEDGE, PROGRESS_CLASSW, L"", WS_CHILD, 10, 10, 100, 100, statusBar_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), nullptr, nullptr);

  // A rectangle too small for the whole panel opens large enough; closing stores what it opened as.
  const LayoutRect stored{SaveOptions.windowLeft, SaveOptions.windowTop, SaveOptions.windowWidth,
                          SaveOptions.windowHeight};
  const LayoutRect opening = EnlargedTo(OpeningRectangle(stored, scale_.dpi), minimumSize_);
  const RECT saved{opening.x, opening.y, opening.x + opening.width, opening.y + opening.height};
  const RECT placed = PlacedOnScreen(saved);
  MoveWindow(dialog, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, FALSE);
  RECT client{};
  GetClientRect(dialog, &client);
  Layout(client.right, client.bottom);

  zoomInput_.reset(SetWindowsHookExW(WH_MSGFILTER, &ZoomInputFilter, nullptr, GetCurrentThreadId()));
  // The first encoding of the rows the save has reduced runs behind the opened dialog; the size line follows.
  StartedRefresh();
  StartFirstEncoding(*refresher_);
  DebugLog("end WM_CREATE:");
  // The keyboard starts on Save, the default button, though the header comes first in the tab order.
  if (HWND save = panel_ != nullptr ? GetDlgItem(panel_, IDOK) : nullptr) {
    SetFocus(save);
    return FALSE;
  }
  return TRUE;
}

INT_PTR PreviewDialog::OnCommand(int id, int notification) {
  if (id == IDOK && notification == 0) {
    // The file is the PNG of the options shown: a refresh still running finishes first.
    if (refresher_ != nullptr && refresher_->Busy()) {
      closeWhenIdle_ = true;
    } else {
      EndDialog(dialog_, IDOK);
    }
  } else if (id == IDCANCEL && notification == 0) {
    DebugLog("Cancel Pressed");
    EndDialog(dialog_, IDCANCEL);
  } else if (id == IDC_ZOOM && notification == CBN_SELCHANGE) {
    if (PreviewContainer* preview = Preview())
      preview->ZoomTo(ZoomAtListIndex(SendMessageW(zoomList_, CB_GETCURSEL, 0, 0)));
  } else if (id == IDC_VIEW && notification == CBN_SELCHANGE) {
    const bool twoUp = SendMessageW(viewList_, CB_GETCURSEL, 0, 0) == 1;
    if (PreviewContainer* preview = Preview()) preview->ShowView(twoUp ? kTwoUp : kOneUp);
  } else if (id == IDC_PREVIEW) {
    if (PreviewContainer* preview = Preview()) preview->Resample();
    ComposeAndRedraw();
  }
  return TRUE;
}

INT_PTR PreviewDialog::OnDestroy() {
  DebugLog("case WM_DESTROY begin");
  // Nothing of a refresh outlives the dialog: the worker stops before the records it would feed are let go.
  if (refresher_ != nullptr) refresher_->Stop();
  RemovePropW(dialog_, kRefreshingProperty);
  zoomInput_.reset();
  if (const PreviewContainer* preview = Preview()) {
    SaveOptions.previewZoom = preview->zoom;
    SaveOptions.previewView = preview->view;
  }
  RECT outer{};
  GetWindowRect(dialog_, &outer);
  EndPreviewSession({outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top});
  DebugLog("before delete _PalettePalette");
  PaletteView.ReleaseAll();
  refresher_.reset();
  DebugLog("case WM_DESTROY end");
  return TRUE;
}

INT_PTR PreviewDialog::OnMinMaxInfo(MINMAXINFO* info) const {
  info->ptMinTrackSize = POINT{minimumSize_.width, minimumSize_.height};
  return TRUE;
}

INT_PTR PreviewDialog::OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC: return StaticTextColors(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
    case WM_DESTROY: return OnDestroy();
    case WM_NCDESTROY: rescaledPanelFont_.Reset(); return FALSE;  // after the panel's controls are gone
    case kRefreshNews:
      if (refresher_ != nullptr) refresher_->Deliver();
      return TRUE;
  }
  return FALSE;
}

extern "C" INT_PTR CALLBACK DissolveProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    // The dialog's object arrives with WM_INITDIALOG and stays on the window until its last message.
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* owner = reinterpret_cast<PreviewDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (owner == nullptr) return FALSE;
    if (message == WM_NCDESTROY) SetWindowLongPtrW(dialog, DWLP_USER, 0);
    return owner->OnMessage(dialog, message, wParam, lParam);
  } catch (...) {
    DebugLog("preview dialog: exception stopped");
    return FALSE;
  }
}

void Win32PreviewDialog::ShowDialogProgress(int32_t position, int32_t range) {
  if (shown_ != nullptr) shown_->ShowProgress(position, range);
}

void Win32PreviewDialog::DoAbout(intptr_t hostWindow) { ::DoAbout(hostWindow); }

bool Win32PreviewDialog::DoUI() {
  DebugLog("DoUI>>>>>");
  ToolkitSession session;  // steps 2 to 5 and, when it ends, their counterparts
  PreviewDialog dialog(session);
  shown_ = &dialog;
  DebugLog("before DialogBoxParam");
  const INT_PTR result = DialogBoxParamW(shared::ResourceModule(), MAKEINTRESOURCEW(IDD_PREVIEW_DIALOG),
                                         GetActiveWindow(), DissolveProc, reinterpret_cast<LPARAM>(&dialog));
  shown_ = nullptr;
  DebugLog("after DialogBoxParam");
  return result == IDOK;
}
