#pragma once
// The modal preview dialog: header, preview, options panel and status line.
#include <windows.h>

#include <cstdint>

#include "ui/save_dialog.h"

// The Win32 dialog a save runs; the plug-in's entry installs it.
class Win32PreviewDialog final : public SaveDialog {
 public:
  bool DoUI() override;
  void DoAbout(intptr_t hostWindow) override;
  void ShowDialogProgress(int32_t position, int32_t range) override;
};

// Reduces, encodes and shows the result again, behind the dialog; every option change ends with it.
void RefreshPreview();

// The preview dialog's procedure (exported by the 32-bit plug-in as _DissolveProc@16).
extern "C" INT_PTR CALLBACK DissolveProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
