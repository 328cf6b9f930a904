#include "widgets/plain_container_win32.h"

#include <memory>

#include "widgets/gdi_shared_win32.h"

namespace {

std::unique_ptr<ToolkitControl> MakePlainContainer() { return std::make_unique<PlainContainer>(); }

}  // namespace

PlainContainer::~PlainContainer() {
  if (holder != nullptr && *holder == this) *holder = nullptr;
}

LRESULT PlainContainer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: return OnChildCommand(wParam, lParam);
    case WM_GETDLGCODE: return OnDialogCode(lParam);
    case WM_KEYDOWN:
      if (onKey && onKey(wParam)) return 0;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = ToolkitControl::OnMessage(message, wParam, lParam);
      if (onFocus) onFocus(focused);
      return result;
    }
  }
  return ToolkitControl::OnMessage(message, wParam, lParam);
}

LRESULT PlainContainer::OnDialogCode(LPARAM lParam) {
  if (!onKey) return 0;
  const auto* key = reinterpret_cast<const MSG*>(lParam);
  const bool enter = key != nullptr && (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
                     (key->wParam == VK_RETURN || key->wParam == L'\r');
  return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
}

LRESULT PlainContainer::OnChildCommand(WPARAM wParam, LPARAM lParam) {
  // Posted, so a child's notification reaches the panel after the child's own handling has finished.
  PostMessageW(GetParent(window), WM_COMMAND, wParam, lParam);
  return 0;
}

LRESULT CALLBACK ContanerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ToolkitWindowProc(window, message, wParam, lParam, &MakePlainContainer);
}

bool RegisterPlainContainerClass() {
  return shared::RegisterSharedLookClass(kPlainContainerClass, 0, IDC_ARROW, &ContanerWndProc);
}

void UnregisterPlainContainerClass() { UnregisterToolkitClass(kPlainContainerClass); }
