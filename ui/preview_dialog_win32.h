#pragma once
// The modal preview dialog: header, preview, options panel and status line.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>

#include "records/palette.h"
#include "ui/dialog_layout.h"
#include "ui/preview_refresh.h"
#include "ui/save_dialog.h"
#include "widgets/artwork_scale.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/preview_pixels.h"

class PreviewContainer;
class ToolkitSession;

// The Win32 dialog a save runs; the plug-in's entry installs it.
class PreviewDialog;
class Win32PreviewDialog final : public SaveDialog {
 public:
  bool DoUI() override;
  void DoAbout(intptr_t hostWindow) override;
  void ShowDialogProgress(int32_t position, int32_t range) override;

 private:
  PreviewDialog* shown_ = nullptr;  // the dialog DoUI shows, while it does
};

// One preview dialog and everything it keeps: its child windows, the refresher behind its preview, the layout's
// measures at the dialog's DPI and the panel's font after a DPI change. DoUI makes it on its stack (a test makes
// its own) and hands it to DissolveProc as the dialog's creation parameter; from WM_INITDIALOG to WM_NCDESTROY
// the dialog's window leads to it.
class PreviewDialog final : private PreviewRefresher::Listener {
 public:
  // The dialog is shown inside `toolkit`'s session, whose dialog font it uses; the session outlives it.
  explicit PreviewDialog(ToolkitSession& toolkit) : toolkit_(toolkit) {}
  ~PreviewDialog() = default;
  PreviewDialog(const PreviewDialog&) = delete;
  PreviewDialog& operator=(const PreviewDialog&) = delete;

  // The object of the preview dialog `dialog`, or null for any other window.
  static PreviewDialog* Of(HWND dialog);

  // One message of the dialog, as DissolveProc hands it on.
  INT_PTR OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // A message on its way to one of the dialog's windows: true where it was a zoom key (Ctrl+Plus, Ctrl+Minus,
  // Ctrl+0, Ctrl+1) or Ctrl with the wheel over the preview, and has been acted on.
  bool OnZoomInput(const MSG& message);

  // Reduces, encodes and shows the result again, behind the dialog; every option change but the compression ends
  // with it.
  void RefreshPreview();
  // Encodes the rows shown again with the options now, behind the dialog: a change of the compression, which
  // leaves every pixel as it is, ends with it.
  void RefreshEncoding();
  // The progress bar: range 0 .. total, position at done.
  void ShowProgress(int32_t done, int32_t total);

 private:
  // The refresher's news.
  void RefreshProgress(int32_t done, int32_t total) override;
  void RowsChanged() override;
  void EncodingDone(int32_t size) override;
  void RefreshIdle() override;

  // The size line, as the preview session hands it to the dialog that opened it (owner).
  static void PutStatusLine(void* owner, const char* line);

  PreviewContainer* Preview() const;
  PreviewSource RefreshedPreviewSource() const;
  PreviewSource OriginalSource() const;
  void MakeViewLists();
  void ShowZoomInList();
  void ShowCaptions();
  void ComposeAndRedraw();
  void StartedRefresh();
  void ShowPsnrReadout();
  void PaletteEditedInPanel();
  void Layout(int width, int height);
  void TakeDpi(int32_t dpi);
  void MakeHeaderBar();
  LayoutRect MinimumSizeNow() const;
  void RescalePanel(int32_t from, int32_t to);
  INT_PTR OnInitDialog(HWND dialog);
  INT_PTR OnDpiChanged(int32_t dpi, const RECT& suggested);
  INT_PTR OnCommand(int id, int notification);
  INT_PTR OnDestroy();
  INT_PTR OnMinMaxInfo(MINMAXINFO* info) const;

  ToolkitSession& toolkit_;
  HWND dialog_ = nullptr;
  HWND preview_ = nullptr;
  HWND panel_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND headerBar_ = nullptr;
  HWND progressBar_ = nullptr;
  HWND psnrReadout_ = nullptr;  // in the status bar, right of the size line; hidden while a refresh runs
  HWND zoomLabel_ = nullptr;
  HWND zoomList_ = nullptr;
  HWND viewLabel_ = nullptr;
  HWND viewList_ = nullptr;
  struct Unhook {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
  };
  // The zoom keys and wheel reach whichever control has the keyboard: the dialog's message loop hands them here.
  std::unique_ptr<std::remove_pointer_t<HHOOK>, Unhook> zoomInput_;
  PaletteEntry colorTable_[256] = {};  // an indexed document's own colours, for 2-Up's original
  int64_t fileBytes_ = -1;             // the last encoding's size, -1 before the first
  // The options panel's client size, taken when the panel is made and scaled with the dialog's DPI; the layout
  // and the minimum size use it.
  int32_t panelWidth_ = 0;
  int32_t panelHeight_ = 0;
  DialogScale scale_;                      // the DPI of the dialog's monitor and the header's height
  ArtworkScale art_ = ArtworkScale::k100;  // the bitmaps' scale for that DPI
  LayoutRect minimumSize_;                 // the smallest outer size that shows the whole panel
  std::unique_ptr<PreviewRefresher> refresher_;
  bool closeWhenIdle_ = false;  // Save was pressed while a refresh ran: it closes with the refresh's PNG
  // The options panel's font after a DPI change, made for the new DPI; its controls use it until the dialog is gone.
  gdi::FontOwner rescaledPanelFont_;
};

// The preview dialog's procedure (exported by the 32-bit plug-in as _DissolveProc@16). The creation parameter
// is the dialog's PreviewDialog.
extern "C" INT_PTR CALLBACK DissolveProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
