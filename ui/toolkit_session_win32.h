#pragma once
// Everything the plug-in's dialogs need from the toolkit, set up for one dialog and torn down after it.
#include <windows.h>

#include <cstdint>

#include "widgets/dpi_scale.h"
#include "widgets/gdi_owners_win32.h"

class ToolkitSession {
 public:
  enum class Scope {
    kPreviewDialog,  // common controls, every toolkit class, the dialog font
    kAboutBox,       // only what the About box shows
  };
  explicit ToolkitSession(Scope scope = Scope::kPreviewDialog);
  ~ToolkitSession();
  ToolkitSession(const ToolkitSession&) = delete;
  ToolkitSession& operator=(const ToolkitSession&) = delete;

  // Arial 13 bold at 96 dpi: the status line and the panel's combo boxes. Null in an About-box session.
  HFONT DialogFont() const { return dialogFont_.get(); }
  // Makes DialogFont the size for a screen of `dpi`, from then on; in a preview-dialog session only. Returns the
  // font it replaces (none when nothing changed), to be let go once no window uses it any more.
  gdi::FontOwner ScaleDialogFont(int32_t dpi);

 private:
  Scope scope_;
  HMODULE commonControls_ = nullptr;
  gdi::FontOwner dialogFont_;
  int32_t fontDpi_ = kBaseDpi;  // the screen DialogFont is made for
};
