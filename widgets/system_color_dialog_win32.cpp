#include "widgets/system_color_dialog_win32.h"

#include <commdlg.h>

#include <memory>
#include <type_traits>

namespace {

struct LibraryFreer {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using LibraryOwner = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

using ChooseColorProc = BOOL(WINAPI*)(LPCHOOSECOLORA);

// The dialog can come up behind the host's windows or unpainted; showing, repainting, focusing and
// nudging it once brings it up drawn and in front.
UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  ShowWindow(dialog, SW_SHOW);
  InvalidateRect(dialog, nullptr, TRUE);
  UpdateWindow(dialog);
  PostMessageW(dialog, WM_PAINT, 0, 0);
  SetFocus(dialog);
  RECT place{};
  GetWindowRect(dialog, &place);
  MoveWindow(dialog, 0, 0, 1, 1, TRUE);
  MoveWindow(dialog, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
  return TRUE;
}

}  // namespace

ColorPick PickWithSystemColorDialog(HWND owner, uint32_t initialColor, COLORREF customColors[16], uint32_t* picked) {
  // Looked up at run time, so the plug-in loads without the common dialog library.
  LibraryOwner library(LoadLibraryW(L"comdlg32.dll"));
  if (!library) return ColorPick::kUnchanged;
  const FARPROC address = GetProcAddress(library.get(), "ChooseColorA");
  if (address == nullptr) return ColorPick::kUnchanged;
  // Through the generic function pointer type, which converts to any other without a warning.
  const auto chooseColor = reinterpret_cast<ChooseColorProc>(reinterpret_cast<void (*)()>(address));

  CHOOSECOLORA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.rgbResult = initialColor & 0xFFFFFF;
  request.lpCustColors = customColors;
  request.Flags = CC_RGBINIT | CC_ENABLEHOOK;
  request.lpfnHook = &ColorDialogHook;
  if (!chooseColor(&request)) return ColorPick::kUnchanged;
  *picked = request.rgbResult & 0xFFFFFF;
  return ColorPick::kPicked;
}
