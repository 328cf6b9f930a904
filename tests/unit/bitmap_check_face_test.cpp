// The face a bitmap push-like check box shows after each event, for the panel's three images and for a full set.
#include "widgets/bitmap_check_face.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

FaceSlotsFilled PanelSlots() {  // normal, hover and disabled, as the lock and transparency buttons have
  FaceSlotsFilled slots;
  slots.filled[static_cast<int>(FaceSlot::kNormal)] = true;
  slots.filled[static_cast<int>(FaceSlot::kHover)] = true;
  slots.filled[static_cast<int>(FaceSlot::kDisabled)] = true;
  return slots;
}

FaceSlotsFilled AllSlots() {
  FaceSlotsFilled slots;
  for (bool& filled : slots.filled) filled = true;
  return slots;
}

const std::optional<FaceSlot> kUnchanged = std::nullopt;

TEST(BitmapCheckFace, SetUpShowsNormalOrDisabled) {
  EXPECT_EQ(FaceAtSetUp(PanelSlots(), true), FaceSlot::kNormal);
  EXPECT_EQ(FaceAtSetUp(PanelSlots(), false), FaceSlot::kDisabled);
  EXPECT_EQ(FaceAtSetUp(FaceSlotsFilled{}, true), kUnchanged);
}

TEST(BitmapCheckFace, HoverShowsTheHoverImageOrItsCheckedVariant) {
  EXPECT_EQ(FaceOnHoverStart(PanelSlots(), false), FaceSlot::kHover);
  EXPECT_EQ(FaceOnHoverStart(PanelSlots(), true), FaceSlot::kHover);  // no checked-hover image
  EXPECT_EQ(FaceOnHoverStart(AllSlots(), true), FaceSlot::kCheckedHover);
  EXPECT_EQ(FaceOnHoverStart(AllSlots(), false), FaceSlot::kHover);

  EXPECT_EQ(FaceOnHoverEnd(PanelSlots(), false), FaceSlot::kNormal);
  EXPECT_EQ(FaceOnHoverEnd(PanelSlots(), true), FaceSlot::kNormal);
  EXPECT_EQ(FaceOnHoverEnd(AllSlots(), true), FaceSlot::kChecked);
}

TEST(BitmapCheckFace, EnablingSwitchesOnlyWithADisabledImage) {
  EXPECT_EQ(FaceOnEnable(PanelSlots(), false, false), FaceSlot::kDisabled);
  EXPECT_EQ(FaceOnEnable(PanelSlots(), false, true), FaceSlot::kDisabled);  // no disabled-checked image
  EXPECT_EQ(FaceOnEnable(PanelSlots(), true, false), FaceSlot::kNormal);
  EXPECT_EQ(FaceOnEnable(PanelSlots(), true, true), FaceSlot::kNormal);
  EXPECT_EQ(FaceOnEnable(AllSlots(), false, true), FaceSlot::kDisabledChecked);
  EXPECT_EQ(FaceOnEnable(AllSlots(), true, true), FaceSlot::kChecked);

  FaceSlotsFilled noDisabled = AllSlots();
  noDisabled.filled[static_cast<int>(FaceSlot::kDisabled)] = false;
  EXPECT_EQ(FaceOnEnable(noDisabled, false, false), kUnchanged);
  EXPECT_EQ(FaceOnEnable(noDisabled, true, true), kUnchanged);
}

TEST(BitmapCheckFace, ACheckChangeWhileEnabledNeedsACheckedImage) {
  EXPECT_EQ(FaceOnCheckChange(PanelSlots(), true, false, true), kUnchanged);
  EXPECT_EQ(FaceOnCheckChange(PanelSlots(), true, true, false), kUnchanged);
  EXPECT_EQ(FaceOnCheckChange(AllSlots(), true, false, true), FaceSlot::kChecked);
  EXPECT_EQ(FaceOnCheckChange(AllSlots(), true, true, false), FaceSlot::kNormal);
}

TEST(BitmapCheckFace, ACheckChangeWhileDisabledKeepsTheDisabledLook) {
  EXPECT_EQ(FaceOnCheckChange(PanelSlots(), false, false, true), FaceSlot::kDisabled);
  EXPECT_EQ(FaceOnCheckChange(PanelSlots(), false, true, false), FaceSlot::kDisabled);
  // The checked variant goes by the state before the change.
  EXPECT_EQ(FaceOnCheckChange(AllSlots(), false, true, false), FaceSlot::kDisabledChecked);
  EXPECT_EQ(FaceOnCheckChange(AllSlots(), false, false, true), FaceSlot::kDisabled);
  EXPECT_EQ(FaceOnCheckChange(FaceSlotsFilled{}, false, true, true), kUnchanged);
}

// Images of another scale replace the old ones: the button shows the new image for the state it is in.
TEST(BitmapCheckFace, NewImagesShowTheCurrentState) {
  EXPECT_EQ(FaceForState(PanelSlots(), true, false, false), FaceSlot::kNormal);
  EXPECT_EQ(FaceForState(PanelSlots(), true, false, true), FaceSlot::kHover);
  EXPECT_EQ(FaceForState(PanelSlots(), true, true, false), FaceSlot::kNormal);  // no checked image
  EXPECT_EQ(FaceForState(PanelSlots(), false, false, true), FaceSlot::kDisabled);
  EXPECT_EQ(FaceForState(PanelSlots(), false, true, false), FaceSlot::kDisabled);

  EXPECT_EQ(FaceForState(AllSlots(), true, true, false), FaceSlot::kChecked);
  EXPECT_EQ(FaceForState(AllSlots(), true, true, true), FaceSlot::kCheckedHover);
  EXPECT_EQ(FaceForState(AllSlots(), false, true, true), FaceSlot::kDisabledChecked);

  // Without a disabled or a hover image the normal one stands in; without any, nothing is shown.
  FaceSlotsFilled normalOnly;
  normalOnly.filled[static_cast<int>(FaceSlot::kNormal)] = true;
  EXPECT_EQ(FaceForState(normalOnly, false, false, true), FaceSlot::kNormal);
  EXPECT_EQ(FaceForState(FaceSlotsFilled{}, true, false, false), kUnchanged);
}

}  // namespace
