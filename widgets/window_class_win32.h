#pragma once
// The one pattern every toolkit control follows: a registered class with one pointer of window data, an
// object attached when the window is created and deleted with it, and a class-checked lookup.
#include <windows.h>

#include <memory>

// The object attached to a toolkit control's window. Each control class derives from it.
class ToolkitControl {
 public:
  virtual ~ToolkitControl() = default;
  // Handles one message; what a control does not handle goes here, and from here to the default window
  // procedure. Here: the client size (kept in `clientWidth` and `clientHeight`), the keyboard focus (kept in
  // `focused`, repainting the control's focus cue), Enter and Space for a control that presses with them, and a
  // lost mouse capture.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window = nullptr;
  int controlId = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  bool focused = false;  // the control has the keyboard focus

 protected:
  // True for a control that Enter and Space press while it has the focus (a focused button takes them from the
  // dialog, whose default button Enter would press otherwise).
  virtual bool PressesWithKeys() const { return false; }
  virtual void OnKeyPress() {}
  // The mouse capture went elsewhere (another window, the system): back to the look at rest.
  virtual void OnCaptureLost() {}
  // The client size has changed; clientWidth and clientHeight hold the new one.
  virtual void OnResized() {}
};

// A toolkit control that draws its whole client area itself: a paint, and a print into a DC of someone else's,
// go through one off-screen bitmap of the client size into Paint, and the background is never erased on its own.
class PaintedControl : public ToolkitControl {
 public:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Every pixel of the client area, drawn into `dc`.
  virtual void Paint(HDC dc) const = 0;

 private:
  // Draws the whole control into `target` through one off-screen bitmap.
  void PaintThrough(HDC target) const;
};

// Enter or Space going down for the first time (not a key held down and repeating).
bool IsPressKey(WPARAM virtualKey, LPARAM keyFlags);

// The focus cue: a dotted band `width` pixels wide (one at 96 dpi), as far inside the control's edge.
void DrawFocusCue(HDC dc, SIZE size, int width = 1);

// Registers a toolkit class in the plug-in's module: one pointer of window data, the given background brush
// (the toolkit's shared one), cursor and window procedure. False when Windows refuses.
bool RegisterToolkitClass(const wchar_t* name, UINT style, LPCWSTR cursor, WNDPROC procedure, HBRUSH background);
void UnregisterToolkitClass(const wchar_t* name);

// The object attached to `window` when the window's class is `className`, else null.
ToolkitControl* GetControlObject(HWND window, const wchar_t* className);

template <class Control>
Control* GetControl(HWND dialog, int itemId, const wchar_t* className) {
  return static_cast<Control*>(GetControlObject(GetDlgItem(dialog, itemId), className));
}

// Creates a toolkit window that takes `control` as its object (the window owns it from WM_NCCREATE on; if the
// window is never made, the object is freed here).
HWND CreateToolkitWindow(std::unique_ptr<ToolkitControl> control, const wchar_t* className, DWORD style, int x, int y,
                         int width, int height, HWND parent, int controlId);

// The body of every toolkit window procedure: attaches the object at WM_NCCREATE (the creator's, or a new
// one made by `makeDefault`), stores window, id and client size, hands messages to the object and deletes it
// at WM_NCDESTROY. No exception gets past it.
LRESULT ToolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          std::unique_ptr<ToolkitControl> (*makeDefault)());
