#pragma once
// The toolkit's attach pattern for dialogs made from a template of the plug-in's resources: the creator makes
// the dialog's object and hands it over through the creation parameter; at WM_INITDIALOG the dialog takes it
// into its DWLP_USER slot, and at WM_NCDESTROY, once its controls are gone, deletes it. So whatever the dialog
// keeps lives in its object, and dies with its window.
#include <windows.h>

#include <memory>

class DialogObject {
 public:
  virtual ~DialogObject() = default;
  // Handles one message, WM_INITDIALOG included; FALSE leaves it to the dialog manager.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  HWND window = nullptr;  // set before WM_INITDIALOG reaches OnMessage
};

// A modeless dialog from template `templateId`, child or owned window of `parent`, whose procedure is
// `procedure` (which hands every message to DialogObjectProc). Null when it cannot be made; the object is then
// freed here.
HWND CreateDialogObject(std::unique_ptr<DialogObject> object, int templateId, HWND parent, DLGPROC procedure);
// The same as a modal dialog, owned by `owner`: its result once it has ended, or -1 when it could not be shown.
INT_PTR RunDialogObject(std::unique_ptr<DialogObject> object, int templateId, HWND owner, DLGPROC procedure);

// The body of such a dialog's procedure: attaches the object, hands it the messages and deletes it. An exception
// stops here with `exceptionLine` in the log.
INT_PTR DialogObjectProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, const char* exceptionLine);

// The object of `dialog` when `procedure` runs it, else null.
DialogObject* GetDialogObject(HWND dialog, DLGPROC procedure);
