#pragma once
// Which image a bitmap push-like check box shows after each event, from the images it has been given. An
// empty slot is never shown: where no fallback is named the face stays as it is.
#include <cstdint>
#include <optional>

enum class FaceSlot : uint8_t { kNormal, kHover, kDisabled, kChecked, kCheckedHover, kDisabledChecked };
inline constexpr int kFaceSlots = 6;

// Which slots hold an image.
struct FaceSlotsFilled {
  bool filled[kFaceSlots] = {};
  bool Has(FaceSlot slot) const { return filled[static_cast<int>(slot)]; }
};

// At set-up: the normal image, the disabled one for a disabled button.
std::optional<FaceSlot> FaceAtSetUp(const FaceSlotsFilled& slots, bool enabled);
// The mouse has come into the button (only while it was not hovered yet).
std::optional<FaceSlot> FaceOnHoverStart(const FaceSlotsFilled& slots, bool checked);
// The mouse has moved outside the button.
std::optional<FaceSlot> FaceOnHoverEnd(const FaceSlotsFilled& slots, bool checked);
// The button is being enabled or disabled; nothing changes without a disabled image.
std::optional<FaceSlot> FaceOnEnable(const FaceSlotsFilled& slots, bool enabling, bool checked);
// The check state is about to change from `wasChecked` to `nowChecked`.
std::optional<FaceSlot> FaceOnCheckChange(const FaceSlotsFilled& slots, bool enabled, bool wasChecked, bool nowChecked);
// The image for the button's state as it is, for images that replace the ones it had.
std::optional<FaceSlot> FaceForState(const FaceSlotsFilled& slots, bool enabled, bool checked, bool hovered);
