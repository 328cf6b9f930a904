#include "widgets/dialog_object_win32.h"

#include "base/debug_log.h"
#include "widgets/gdi_shared_win32.h"

namespace {

DialogObject* Attached(HWND dialog) { return reinterpret_cast<DialogObject*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

LPARAM Offered(std::unique_ptr<DialogObject>& object) { return reinterpret_cast<LPARAM>(&object); }

}  // namespace

HWND CreateDialogObject(std::unique_ptr<DialogObject> object, int templateId, HWND parent, DLGPROC procedure) {
  // On success WM_INITDIALOG has taken the object; otherwise it is freed here.
  return CreateDialogParamW(shared::ResourceModule(), MAKEINTRESOURCEW(templateId), parent, procedure, Offered(object));
}

INT_PTR RunDialogObject(std::unique_ptr<DialogObject> object, int templateId, HWND owner, DLGPROC procedure) {
  return DialogBoxParamW(shared::ResourceModule(), MAKEINTRESOURCEW(templateId), owner, procedure, Offered(object));
}

INT_PTR DialogObjectProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, const char* exceptionLine) {
  try {
    if (message == WM_INITDIALOG) {
      // The creator hands over the object; from here the window owns it.
      DialogObject* object = reinterpret_cast<std::unique_ptr<DialogObject>*>(lParam)->release();
      object->window = dialog;
      SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(object));
    }
    DialogObject* object = Attached(dialog);
    if (object == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
      // The controls are gone by now, so whatever they borrowed from the object can go with it.
      SetWindowLongPtrW(dialog, DWLP_USER, 0);
      delete object;
      return FALSE;
    }
    return object->OnMessage(message, wParam, lParam);
  } catch (...) {
    DebugLog(exceptionLine);
  }
  return FALSE;
}

DialogObject* GetDialogObject(HWND dialog, DLGPROC procedure) {
  if (dialog == nullptr || !IsWindow(dialog)) return nullptr;
  if (reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC)) != procedure) return nullptr;
  return Attached(dialog);
}
