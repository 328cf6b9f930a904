#include "widgets/bitmap_check_face.h"

namespace {

std::optional<FaceSlot> Shown(const FaceSlotsFilled& slots, FaceSlot slot) {
  if (!slots.Has(slot)) return std::nullopt;
  return slot;
}

// The checked variant when the button is checked and has one, else the plain image.
FaceSlot Variant(const FaceSlotsFilled& slots, bool checked, FaceSlot plain, FaceSlot checkedVariant) {
  return checked && slots.Has(checkedVariant) ? checkedVariant : plain;
}

}  // namespace

std::optional<FaceSlot> FaceAtSetUp(const FaceSlotsFilled& slots, bool enabled) {
  return Shown(slots, enabled ? FaceSlot::kNormal : FaceSlot::kDisabled);
}

std::optional<FaceSlot> FaceOnHoverStart(const FaceSlotsFilled& slots, bool checked) {
  return Shown(slots, Variant(slots, checked, FaceSlot::kHover, FaceSlot::kCheckedHover));
}

std::optional<FaceSlot> FaceOnHoverEnd(const FaceSlotsFilled& slots, bool checked) {
  return Shown(slots, Variant(slots, checked, FaceSlot::kNormal, FaceSlot::kChecked));
}

std::optional<FaceSlot> FaceOnEnable(const FaceSlotsFilled& slots, bool enabling, bool checked) {
  if (!slots.Has(FaceSlot::kDisabled)) return std::nullopt;
  if (enabling) return Shown(slots, Variant(slots, checked, FaceSlot::kNormal, FaceSlot::kChecked));
  return Shown(slots, Variant(slots, checked, FaceSlot::kDisabled, FaceSlot::kDisabledChecked));
}

std::optional<FaceSlot> FaceOnCheckChange(const FaceSlotsFilled& slots, bool enabled, bool wasChecked,
                                          bool nowChecked) {
  if (enabled) {
    if (!slots.Has(FaceSlot::kChecked)) return std::nullopt;
    return nowChecked ? FaceSlot::kChecked : Shown(slots, FaceSlot::kNormal);
  }
  // A disabled button keeps its disabled look; the checked one only when it was checked before the change.
  const bool disabledChecked = slots.Has(FaceSlot::kDisabled) && wasChecked;
  return Shown(slots, Variant(slots, disabledChecked, FaceSlot::kDisabled, FaceSlot::kDisabledChecked));
}

std::optional<FaceSlot> FaceForState(const FaceSlotsFilled& slots, bool enabled, bool checked, bool hovered) {
  if (!enabled && slots.Has(FaceSlot::kDisabled)) {
    return Variant(slots, checked, FaceSlot::kDisabled, FaceSlot::kDisabledChecked);
  }
  if (hovered && slots.Has(FaceSlot::kHover)) return Variant(slots, checked, FaceSlot::kHover, FaceSlot::kCheckedHover);
  return Shown(slots, Variant(slots, checked, FaceSlot::kNormal, FaceSlot::kChecked));
}
