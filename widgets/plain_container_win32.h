#pragma once
// "Contaner CPP": a plain child window of the shared background colour that groups other controls. It
// draws nothing else and posts every command of its children on to its own parent unchanged.
#include <windows.h>

#include <functional>

#include "widgets/window_class_win32.h"

inline constexpr wchar_t kPlainContainerClass[] = L"Contaner CPP";

class PlainContainer : public ToolkitControl {
 public:
  ~PlainContainer() override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // A holder's reference to this object, cleared when the object dies with its window.
  PlainContainer** holder = nullptr;
  // With a key handler the container takes the arrow keys and Enter from the dialog while it has the focus and
  // hands each key going down to the handler, which says whether it used it. The focus handler hears it gain
  // (true) and lose (false) the focus.
  std::function<bool(WPARAM virtualKey)> onKey;
  std::function<void(bool focused)> onFocus;

 private:
  LRESULT OnChildCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnDialogCode(LPARAM lParam);
};

LRESULT CALLBACK ContanerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The class with the arrow cursor and a brush of the shared background colour that the class owns (the
// default processing of the background erase is all its painting). False when Windows refuses.
bool RegisterPlainContainerClass();
void UnregisterPlainContainerClass();
