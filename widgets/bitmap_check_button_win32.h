#pragma once
// A standard push-like check box whose face image follows hover, enabling and its check state, switched by a
// window subclass. The images are borrowed: their owner keeps them until the button is gone.
#include <windows.h>

#include "widgets/bitmap_check_face.h"

struct BitmapCheckImages {
  HBITMAP slots[kFaceSlots] = {};  // indexed by FaceSlot; null where the button has no such image
};

// What the subclass keeps for one button, from set-up to the button's final destruction.
struct BitmapCheckRecord {
  BitmapCheckImages images;
  bool hovered = false;
};

// Stores the images, shows the normal one (the disabled one when the button is disabled) and installs the
// subclass, which removes itself and frees its record at WM_NCDESTROY. False when the button is missing or
// the subclass cannot be installed.
bool SetUpBitmapCheckButton(HWND button, const BitmapCheckImages& images);

// Gives a button set up above new images in place of its old ones (the same faces at another scale) and shows
// the one for its state; from here the old images are no longer used. False when the button was not set up.
bool ReplaceBitmapCheckImages(HWND button, const BitmapCheckImages& images);

// The record of a button set up above, or null.
const BitmapCheckRecord* BitmapCheckRecordOf(HWND button);
