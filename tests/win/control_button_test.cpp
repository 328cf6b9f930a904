// "Control Button CPP": the bitmap of each state, and the press, hover and release that post its command.
#include <gtest/gtest.h>

#include <memory>

#include "resources/resource_ids.h"
#include "tests/win/toolkit_test_support.h"
#include "widgets/bitmap_copy_win32.h"
#include "widgets/control_button_win32.h"
#include "widgets/link_win32.h"

using toolkit_test::DibCanvas;
using toolkit_test::HiddenParent;
using toolkit_test::Rgb;

namespace {

TEST(ControlButtonPaint, FaceFromItsTopLeftCornerAndBackgroundBeyondIt) {
  HBITMAP face = toolkit_test::MakeBitmap(30, 10, [](int x, int y) { return RGB(x, y, 99); });
  HBRUSH background = CreateSolidBrush(RGB(232, 232, 232));
  {
    DibCanvas canvas(40, 20);
    PaintControlButton(canvas.dc(), SIZE{40, 20}, face, background);
    EXPECT_EQ(canvas.Pixel(0, 0), (Rgb{0, 0, 99}));
    EXPECT_EQ(canvas.Pixel(29, 9), (Rgb{29, 9, 99}));
    EXPECT_EQ(canvas.Pixel(30, 5), (Rgb{232, 232, 232}));
    EXPECT_EQ(canvas.Pixel(5, 10), (Rgb{232, 232, 232}));
  }
  {
    DibCanvas canvas(40, 20);
    PaintControlButton(canvas.dc(), SIZE{40, 20}, nullptr, background);
    EXPECT_EQ(canvas.Pixel(5, 5), (Rgb{232, 232, 232}));
  }
  DeleteObject(background);
  DeleteObject(face);
}

class ControlButtonWindow : public ::testing::Test {
 protected:
  static constexpr int kId = 1005;
  static constexpr int kWidth = 181;
  static constexpr int kHeight = 19;

  void SetUp() override {
    ASSERT_TRUE(InitLinkCommon());
    ASSERT_TRUE(RegisterControlButtonClass());
    parent_ = std::make_unique<HiddenParent>();
    button_ = parent_->AddChild(kControlButtonClass, kId, kWidth, kHeight);
    ASSERT_NE(button_, nullptr);
    object_ = GetControl<ControlButton>(parent_->window(), kId, kControlButtonClass);
    ASSERT_NE(object_, nullptr);
    object_->SetBitmaps(IDB_ABOUT_NORMAL, IDB_ABOUT_HOVER, IDB_ABOUT_PRESSED, 0);
  }
  void TearDown() override {
    parent_.reset();
    UnregisterControlButtonClass();
    ReleaseLinkCommon();
  }

  void Send(UINT message, WPARAM keys, int x, int y) { SendMessageW(button_, message, keys, MAKELPARAM(x, y)); }

  // The pixel the window shows at (x, y).
  Rgb Shown(int x, int y) const {
    DibCanvas canvas(kWidth, kHeight);
    SendMessageW(button_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    return canvas.Pixel(x, y);
  }

  std::unique_ptr<HiddenParent> parent_;
  HWND button_ = nullptr;
  ControlButton* object_ = nullptr;
};

TEST_F(ControlButtonWindow, SetBitmapsFillsTheGivenSlotsAndKeepsTheOthers) {
  EXPECT_NE(object_->Bitmap(ControlButton::kNormalBitmap), nullptr);
  EXPECT_NE(object_->Bitmap(ControlButton::kHoverBitmap), nullptr);
  EXPECT_NE(object_->Bitmap(ControlButton::kPressedBitmap), nullptr);
  EXPECT_EQ(object_->Bitmap(ControlButton::kDisabledBitmap), nullptr);
  const SIZE size = BitmapSize(object_->Bitmap(ControlButton::kNormalBitmap));
  EXPECT_EQ(size.cx, kWidth);
  EXPECT_EQ(size.cy, kHeight);

  HBITMAP hover = object_->Bitmap(ControlButton::kHoverBitmap);
  object_->SetBitmaps(IDB_SITE_NORMAL, 0, 0, 0);
  EXPECT_EQ(object_->Bitmap(ControlButton::kHoverBitmap), hover);
  EXPECT_EQ(BitmapSize(object_->Bitmap(ControlButton::kNormalBitmap)).cx, 150);
}

TEST_F(ControlButtonWindow, HoverThenLeaveWithoutTheButtonHeld) {
  EXPECT_EQ(object_->state, ControlButton::kNormal);
  EXPECT_EQ(object_->Face(), object_->Bitmap(ControlButton::kNormalBitmap));
  Send(WM_MOUSEMOVE, 0, 10, 5);
  EXPECT_EQ(object_->state, ControlButton::kHover);
  EXPECT_EQ(object_->Face(), object_->Bitmap(ControlButton::kHoverBitmap));
  Send(WM_MOUSEMOVE, 0, kWidth + 3, 5);
  EXPECT_EQ(object_->state, ControlButton::kNormal);
  Send(WM_MOUSEMOVE, 0, 10, -2);
  EXPECT_EQ(object_->state, ControlButton::kNormal);
  EXPECT_TRUE(parent_->TakePostedCommands().empty());
}

TEST_F(ControlButtonWindow, ClickPostsTheCommandAndReturnsToNormal) {
  Send(WM_MOUSEMOVE, 0, 10, 5);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 5);
  EXPECT_EQ(object_->state, ControlButton::kPressed);
  EXPECT_EQ(object_->Face(), object_->Bitmap(ControlButton::kPressedBitmap));
  Send(WM_LBUTTONUP, 0, 10, 5);
  EXPECT_EQ(object_->state, ControlButton::kNormal);
  const auto posted = parent_->TakePostedCommands();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].first, static_cast<WPARAM>(kId));
  EXPECT_EQ(posted[0].second, 0);
}

TEST_F(ControlButtonWindow, ReleaseAfterLeavingWhileHeldStillCounts) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 5);
  Send(WM_MOUSEMOVE, MK_LBUTTON, kWidth + 40, 50);
  EXPECT_EQ(object_->state, ControlButton::kPressed);
  Send(WM_LBUTTONUP, 0, kWidth + 40, 50);
  EXPECT_EQ(object_->state, ControlButton::kNormal);
  EXPECT_EQ(parent_->TakePostedCommands().size(), 1u);
}

TEST_F(ControlButtonWindow, ReleaseWithoutPressSendsNothing) {
  Send(WM_MOUSEMOVE, 0, 10, 5);
  Send(WM_LBUTTONUP, 0, 10, 5);
  // The release gives up the capture, without which leaving would go unseen: the look at rest until the
  // pointer moves over the button again.
  EXPECT_EQ(object_->state, ControlButton::kNormal);
  EXPECT_TRUE(parent_->TakePostedCommands().empty());
  Send(WM_MOUSEMOVE, 0, 10, 5);
  EXPECT_EQ(object_->state, ControlButton::kHover);
}

TEST_F(ControlButtonWindow, ALostCaptureReturnsToTheLookAtRestWithoutACommand) {
  Send(WM_MOUSEMOVE, 0, 10, 5);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 5);
  ASSERT_EQ(object_->state, ControlButton::kPressed);
  // Another window takes the mouse (a menu, a dialog, the system).
  const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  SetCapture(other);
  EXPECT_EQ(object_->state, ControlButton::kNormal);
  EXPECT_EQ(Shown(4, 9), toolkit_test::BitmapPixel(object_->Bitmap(ControlButton::kNormalBitmap), 4, 9));
  ReleaseCapture();
  DestroyWindow(other);
  EXPECT_TRUE(parent_->TakePostedCommands().empty());
}

TEST_F(ControlButtonWindow, WindowShowsTheBitmapOfItsState) {
  const Rgb normal = toolkit_test::BitmapPixel(object_->Bitmap(ControlButton::kNormalBitmap), 4, 9);
  const Rgb hover = toolkit_test::BitmapPixel(object_->Bitmap(ControlButton::kHoverBitmap), 4, 9);
  const Rgb pressed = toolkit_test::BitmapPixel(object_->Bitmap(ControlButton::kPressedBitmap), 4, 9);
  ASSERT_NE(normal, hover);
  ASSERT_NE(normal, pressed);
  EXPECT_EQ(Shown(4, 9), normal);
  Send(WM_MOUSEMOVE, 0, 10, 5);
  EXPECT_EQ(Shown(4, 9), hover);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 5);
  EXPECT_EQ(Shown(4, 9), pressed);
  Send(WM_LBUTTONUP, 0, 10, 5);
  EXPECT_EQ(Shown(4, 9), normal);
}

}  // namespace
