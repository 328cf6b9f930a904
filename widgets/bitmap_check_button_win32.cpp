#include "widgets/bitmap_check_button_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>
#include <optional>

#include "base/debug_log.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x42434B;  // one subclass of this kind per button

// Asks a button for its record; only the subclass answers it.
UINT RecordQuery() {
  static const UINT message = RegisterWindowMessageW(L"Vexlorin bitmap check record");
  return message;
}

FaceSlotsFilled FilledSlots(const BitmapCheckImages& images) {
  FaceSlotsFilled filled;
  for (int slot = 0; slot < kFaceSlots; ++slot) filled.filled[slot] = images.slots[slot] != nullptr;
  return filled;
}

void Show(HWND button, const BitmapCheckRecord& record, std::optional<FaceSlot> face) {
  if (!face) return;
  const HBITMAP image = record.images.slots[static_cast<int>(*face)];
  SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void OnMouseMove(HWND button, BitmapCheckRecord& record, LPARAM lParam) {
  RECT client{};
  GetClientRect(button, &client);
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const FaceSlotsFilled filled = FilledSlots(record.images);
  if (PtInRect(&client, at)) {
    if (record.hovered) return;
    // Capturing the mouse is how the button learns that the mouse has left it again.
    SetCapture(button);
    record.hovered = true;
    Show(button, record, FaceOnHoverStart(filled, IsChecked(button)));
  } else {
    if (GetCapture() == button) ReleaseCapture();
    record.hovered = false;
    Show(button, record, FaceOnHoverEnd(filled, IsChecked(button)));
  }
}

LRESULT CALLBACK BitmapCheckProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* record = reinterpret_cast<BitmapCheckRecord*>(data);
  if (message != 0 && message == RecordQuery()) return static_cast<LRESULT>(data);
  try {
    switch (message) {
      case WM_MOUSEMOVE: OnMouseMove(button, *record, lParam); break;
      case WM_ENABLE:
        Show(button, *record, FaceOnEnable(FilledSlots(record->images), wParam != FALSE, IsChecked(button)));
        break;
      case BM_SETCHECK:
        Show(button, *record,
             FaceOnCheckChange(FilledSlots(record->images), IsWindowEnabled(button) != FALSE, IsChecked(button),
                               wParam == BST_CHECKED));
        break;
      case WM_LBUTTONUP: record->hovered = false; break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(button, &BitmapCheckProc, kSubclassId);
        delete record;
        break;
    }
  } catch (...) {
    DebugLog("bitmap button: exception stopped");
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

bool SetUpBitmapCheckButton(HWND button, const BitmapCheckImages& images) {
  if (button == nullptr || !IsWindow(button)) return false;
  auto record = std::make_unique<BitmapCheckRecord>();
  record->images = images;
  Show(button, *record, FaceAtSetUp(FilledSlots(images), IsWindowEnabled(button) != FALSE));
  if (!SetWindowSubclass(button, &BitmapCheckProc, kSubclassId, reinterpret_cast<DWORD_PTR>(record.get()))) {
    return false;
  }
  record.release();  // the subclass frees it at WM_NCDESTROY
  return true;
}

bool ReplaceBitmapCheckImages(HWND button, const BitmapCheckImages& images) {
  if (button == nullptr || !IsWindow(button) || RecordQuery() == 0) return false;
  auto* record = reinterpret_cast<BitmapCheckRecord*>(SendMessageW(button, RecordQuery(), 0, 0));
  if (record == nullptr) return false;
  record->images = images;
  const std::optional<FaceSlot> face =
      FaceForState(FilledSlots(images), IsWindowEnabled(button) != FALSE, IsChecked(button), record->hovered);
  // A button left without an image for its state must not keep showing an old one.
  if (face) {
    Show(button, *record, face);
  } else {
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, 0);
  }
  return true;
}

const BitmapCheckRecord* BitmapCheckRecordOf(HWND button) {
  if (button == nullptr || !IsWindow(button) || RecordQuery() == 0) return nullptr;
  return reinterpret_cast<const BitmapCheckRecord*>(SendMessageW(button, RecordQuery(), 0, 0));
}
