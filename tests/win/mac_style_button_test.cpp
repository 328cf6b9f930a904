// "MacStyleBtn": skins per state, the stretched middle, the caption colours, and the input that moves the
// button between its looks and posts its command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "resources/resource_ids.h"
#include "tests/win/toolkit_test_support.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/link_win32.h"
#include "widgets/mac_style_button_win32.h"

using toolkit_test::BitmapPixel;
using toolkit_test::DibCanvas;
using toolkit_test::HiddenParent;
using toolkit_test::Rgb;

namespace {

constexpr int kWidth = 84;
constexpr int kHeight = 24;
constexpr int kProbeRow = 20;  // lower half of the face, below the caption

// Skins of plain colours: each look its own, the middle's left half differing from its right half.
class PlainSkins {
 public:
  PlainSkins() {
    for (int look = 0; look < shared::kSkinLooks; ++look) {
      skins.left[look] = toolkit_test::MakeBitmap(18, 24, [look](int, int) { return RGB(200, 10, 10 + look); });
      skins.middle[look] = toolkit_test::MakeBitmap(
          18, 24, [look](int x, int) { return x < 9 ? RGB(10, 200, 10 + look) : RGB(10, 100, 10 + look); });
      skins.right[look] = toolkit_test::MakeBitmap(18, 24, [look](int, int) { return RGB(10, 10, 200 + look); });
    }
  }
  ~PlainSkins() {
    for (int look = 0; look < shared::kSkinLooks; ++look) {
      DeleteObject(skins.left[look]);
      DeleteObject(skins.middle[look]);
      DeleteObject(skins.right[look]);
    }
  }
  shared::ButtonSkins skins;
};

Rgb Left(int look) { return Rgb{200, 10, 10 + look}; }
Rgb MiddleFirstHalf(int look) { return Rgb{10, 200, 10 + look}; }
Rgb MiddleSecondHalf(int look) { return Rgb{10, 100, 10 + look}; }
Rgb Right(int look) { return Rgb{10, 10, 200 + look}; }

TEST(MacStyleBtnPaint, CapsAtTheEndsAndTheMiddleStretchedTo48Pixels) {
  PlainSkins plain;
  DibCanvas canvas(kWidth, kHeight);
  MacStyleBtnLook look;
  look.state = MacStyleBtn::kDefault;
  look.active = true;
  PaintMacStyleBtn(canvas.dc(), SIZE{kWidth, kHeight}, look, plain.skins, nullptr, nullptr);

  const int d = MacStyleBtn::kDefault;
  for (int y : {0, 12, 23}) {
    EXPECT_EQ(canvas.Pixel(0, y), Left(d));
    EXPECT_EQ(canvas.Pixel(17, y), Left(d));
    EXPECT_EQ(canvas.Pixel(18, y), MiddleFirstHalf(d));
    EXPECT_EQ(canvas.Pixel(65, y), MiddleSecondHalf(d));
    EXPECT_EQ(canvas.Pixel(66, y), Right(d));
    EXPECT_EQ(canvas.Pixel(83, y), Right(d));
  }
  const RECT row{0, 12, kWidth, 13};
  EXPECT_EQ(canvas.Count(row, [&](Rgb c) { return c == MiddleFirstHalf(d) || c == MiddleSecondHalf(d); }), 48);
  // Half of the source columns cover half of the stretched width.
  const int firstHalf = canvas.Count(row, [&](Rgb c) { return c == MiddleFirstHalf(d); });
  EXPECT_GE(firstHalf, 23);
  EXPECT_LE(firstHalf, 25);
}

TEST(MacStyleBtnPaint, EachStateUsesItsSkinsWhileActive) {
  PlainSkins plain;
  for (int state = 0; state < shared::kSkinLooks; ++state) {
    DibCanvas canvas(kWidth, kHeight);
    MacStyleBtnLook look;
    look.state = state;
    look.active = true;
    PaintMacStyleBtn(canvas.dc(), SIZE{kWidth, kHeight}, look, plain.skins, nullptr, nullptr);
    EXPECT_EQ(canvas.Pixel(5, 5), Left(state)) << "state " << state;
    EXPECT_EQ(canvas.Pixel(20, 5), MiddleFirstHalf(state)) << "state " << state;
    EXPECT_EQ(canvas.Pixel(70, 5), Right(state)) << "state " << state;
  }
}

TEST(MacStyleBtnPaint, InactiveButtonShowsTheNormalSkinsAndGreyCaption) {
  PlainSkins plain;
  ASSERT_TRUE(shared::AcquireButtonLook(GetModuleHandleW(nullptr)));
  {
    DibCanvas canvas(kWidth, kHeight);
    MacStyleBtnLook look;
    look.state = MacStyleBtn::kDefault;
    look.active = false;
    look.caption = L"MMMM";
    PaintMacStyleBtn(canvas.dc(), SIZE{kWidth, kHeight}, look, plain.skins, shared::ButtonFont(), nullptr);
    EXPECT_EQ(canvas.Pixel(5, 5), Left(MacStyleBtn::kNormal));
    EXPECT_EQ(canvas.Pixel(70, 5), Right(MacStyleBtn::kNormal));
    const RECT caption{18, 4, 66, 20};
    EXPECT_GT(canvas.Count(caption, [](Rgb c) { return c == Rgb{127, 127, 127}; }), 0);
    EXPECT_EQ(canvas.Count(caption, [](Rgb c) { return c == Rgb{0, 0, 0}; }), 0);
    // Nothing of the caption above its top offset of 4 pixels.
    EXPECT_EQ(canvas.Count(RECT{0, 0, kWidth, 4}, [](Rgb c) { return c == Rgb{127, 127, 127}; }), 0);
  }
  shared::ReleaseButtonLook();
}

TEST(MacStyleBtnPaint, ActiveCaptionIsBlackAndCentred) {
  PlainSkins plain;
  ASSERT_TRUE(shared::AcquireButtonLook(GetModuleHandleW(nullptr)));
  {
    DibCanvas canvas(kWidth, kHeight);
    MacStyleBtnLook look;
    look.state = MacStyleBtn::kNormal;
    look.active = true;
    look.caption = L"IIII";
    PaintMacStyleBtn(canvas.dc(), SIZE{kWidth, kHeight}, look, plain.skins, shared::ButtonFont(), nullptr);
    int leftmost = kWidth;
    int rightmost = -1;
    for (int x = 0; x < kWidth; ++x) {
      for (int y = 0; y < kHeight; ++y) {
        if (canvas.Pixel(x, y) == Rgb{0, 0, 0}) {
          leftmost = std::min(leftmost, x);
          rightmost = std::max(rightmost, x);
        }
      }
    }
    ASSERT_GE(rightmost, 0) << "no black caption pixels";
    EXPECT_LE(std::abs(leftmost - (kWidth - 1 - rightmost)), 3) << leftmost << " .. " << rightmost;
  }
  shared::ReleaseButtonLook();
}

TEST(MacStyleBtnPaint, MissingSkinLeavesItsPartOnTheBackground) {
  PlainSkins plain;
  shared::ButtonSkins skins = plain.skins;
  skins.middle[MacStyleBtn::kNormal] = nullptr;
  HBRUSH background = CreateSolidBrush(RGB(232, 232, 232));
  {
    DibCanvas canvas(kWidth, kHeight);
    MacStyleBtnLook look;
    look.active = true;
    PaintMacStyleBtn(canvas.dc(), SIZE{kWidth, kHeight}, look, skins, nullptr, background);
    EXPECT_EQ(canvas.Pixel(40, 10), (Rgb{232, 232, 232}));
    EXPECT_EQ(canvas.Pixel(5, 10), Left(MacStyleBtn::kNormal));
  }
  DeleteObject(background);
}

// Real windows on a hidden parent, with the plug-in's own skins linked into this program.
class MacStyleBtnWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InitLinkCommon());
    ASSERT_TRUE(InitMacStyleBtnCommon());
    const shared::ButtonSkins& skins = shared::MacStyleSkins();
    for (int look = 0; look < shared::kSkinLooks; ++look) {
      ASSERT_NE(skins.middle[look], nullptr) << "skin " << look << " not loaded";
      middle_[look] = BitmapPixel(skins.middle[look], 9, kProbeRow);
    }
    for (int a = 0; a < shared::kSkinLooks; ++a) {
      for (int b = a + 1; b < shared::kSkinLooks; ++b) ASSERT_NE(middle_[a], middle_[b]) << a << " and " << b;
    }
  }
  void TearDown() override {
    parent_.reset();
    ReleaseMacStyleBtnCommon();
    ReleaseLinkCommon();
  }

  HWND AddButton(int id) {
    parent_ = std::make_unique<HiddenParent>();
    return parent_->AddChild(kMacStyleBtnClass, id, kWidth, kHeight);
  }

  // The look the window shows now, told by its middle.
  int ShownLook(HWND button) const {
    DibCanvas canvas(kWidth, kHeight);
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    const Rgb shown = canvas.Pixel(kWidth / 2, kProbeRow);
    for (int look = 0; look < shared::kSkinLooks; ++look) {
      if (shown == middle_[look]) return look;
    }
    return -1;
  }

  static void Send(HWND button, UINT message, int x, int y) {
    SendMessageW(button, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }

  std::unique_ptr<HiddenParent> parent_;
  Rgb middle_[shared::kSkinLooks];
};

TEST_F(MacStyleBtnWindow, DefaultButtonReturnsToTheDefaultSkinsAfterHoverAndPress) {
  HWND button = AddButton(1);
  ASSERT_NE(button, nullptr);
  MacStyleBtn* object = InitMacStyleBtn(parent_->window(), 1, "OK", true);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->state, MacStyleBtn::kDefault);
  EXPECT_EQ(object->active, 1);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kDefault);

  Send(button, WM_MOUSEMOVE, 40, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kHover);
  Send(button, WM_LBUTTONDOWN, 40, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kPressed);
  Send(button, WM_LBUTTONUP, 40, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kDefault);

  Send(button, WM_MOUSEMOVE, 40, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kHover);
  Send(button, WM_MOUSEMOVE, kWidth + 5, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kDefault);

  const auto posted = parent_->TakePostedCommands();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].first, 1u);
  EXPECT_EQ(posted[0].second, 0);
}

TEST_F(MacStyleBtnWindow, OtherButtonReturnsToTheNormalSkins) {
  HWND button = AddButton(2);
  MacStyleBtn* object = InitMacStyleBtn(parent_->window(), 2, "Cancel", false);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kNormal);
  Send(button, WM_MOUSEMOVE, 10, 10);
  Send(button, WM_LBUTTONDOWN, 10, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kPressed);
  Send(button, WM_LBUTTONUP, 10, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kNormal);
  Send(button, WM_MOUSEMOVE, 10, 10);
  Send(button, WM_MOUSEMOVE, -1, 10);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kNormal);
  const auto posted = parent_->TakePostedCommands();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].first, 2u);
}

TEST_F(MacStyleBtnWindow, InactiveButtonIgnoresHoverAndPress) {
  HWND button = AddButton(3);
  auto* object = static_cast<MacStyleBtn*>(GetControlObject(button, kMacStyleBtnClass));
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->active, 0);
  EXPECT_TRUE(object->caption.empty());
  Send(button, WM_MOUSEMOVE, 10, 10);
  EXPECT_EQ(object->state, MacStyleBtn::kNormal);
  Send(button, WM_LBUTTONDOWN, 10, 10);
  EXPECT_EQ(object->state, MacStyleBtn::kNormal);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kNormal);
}

TEST_F(MacStyleBtnWindow, CommandsReachingTheButtonGoOnToItsParent) {
  HWND button = AddButton(4);
  SendMessageW(button, WM_COMMAND, MAKEWPARAM(77, 3), 1234);
  const auto posted = parent_->TakePostedCommands();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].first, MAKEWPARAM(77, 3));
  EXPECT_EQ(posted[0].second, 1234);
}

// What WM_GETDLGCODE answers for a key going down, as the dialog manager asks before it acts on the key.
LRESULT DialogCodeFor(HWND control, WPARAM key) {
  MSG message{};
  message.hwnd = control;
  message.message = WM_KEYDOWN;
  message.wParam = key;
  return SendMessageW(control, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&message));
}

TEST_F(MacStyleBtnWindow, AFocusedButtonTakesEnterAndSpaceAndShowsTheFocus) {
  HWND button = AddButton(2);
  MacStyleBtn* object = InitMacStyleBtn(parent_->window(), 2, "Cancel", false);
  ASSERT_NE(object, nullptr);
  // Enter and Space are the button's, not the dialog's (whose Enter would press the default button); Tab is not.
  EXPECT_EQ(DialogCodeFor(button, VK_RETURN) & DLGC_WANTMESSAGE, DLGC_WANTMESSAGE);
  EXPECT_EQ(DialogCodeFor(button, VK_SPACE) & DLGC_WANTMESSAGE, DLGC_WANTMESSAGE);
  EXPECT_EQ(DialogCodeFor(button, VK_TAB) & DLGC_WANTMESSAGE, 0);
  SendMessageW(button, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(button, WM_KEYDOWN, VK_SPACE, 1);
  SendMessageW(button, WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));  // held down and repeating: no second press
  const auto posted = parent_->TakePostedCommands();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].first, 2u);
  EXPECT_EQ(posted[1].first, 2u);

  // The focus cue: the ring one pixel inside the edge changes, the middle of the caption row does not.
  DibCanvas unfocused(kWidth, kHeight);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(unfocused.dc()), PRF_CLIENT);
  SendMessageW(button, WM_SETFOCUS, 0, 0);
  EXPECT_TRUE(object->focused);
  DibCanvas focused(kWidth, kHeight);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(focused.dc()), PRF_CLIENT);
  int changed = 0;
  for (int x = 1; x < kWidth - 1; ++x) changed += focused.Pixel(x, 1) != unfocused.Pixel(x, 1) ? 1 : 0;
  EXPECT_GT(changed, kWidth / 4);
  EXPECT_EQ(focused.Pixel(3, kHeight / 2 + 3), unfocused.Pixel(3, kHeight / 2 + 3));
  SendMessageW(button, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(object->focused);
}

TEST_F(MacStyleBtnWindow, AnInactiveButtonLeavesTheKeysToTheDialog) {
  HWND button = AddButton(3);
  EXPECT_EQ(DialogCodeFor(button, VK_RETURN) & DLGC_WANTMESSAGE, 0);
  SendMessageW(button, WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_TRUE(parent_->TakePostedCommands().empty());
}

TEST_F(MacStyleBtnWindow, ALostCaptureEndsTheHoverWithoutACommand) {
  HWND button = AddButton(2);
  ASSERT_NE(InitMacStyleBtn(parent_->window(), 2, "Cancel", false), nullptr);
  Send(button, WM_MOUSEMOVE, 10, 10);
  Send(button, WM_LBUTTONDOWN, 10, 10);
  ASSERT_EQ(ShownLook(button), MacStyleBtn::kPressed);
  const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  SetCapture(other);
  EXPECT_EQ(ShownLook(button), MacStyleBtn::kNormal);
  ReleaseCapture();
  DestroyWindow(other);
  EXPECT_TRUE(parent_->TakePostedCommands().empty());
}

TEST_F(MacStyleBtnWindow, InitOfAnItemOfAnotherClassDoesNothing) {
  parent_ = std::make_unique<HiddenParent>();
  HWND link = parent_->AddChild(kLinkClass, 5, 80, 20);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(InitMacStyleBtn(parent_->window(), 5, "OK", true), nullptr);
  EXPECT_EQ(InitMacStyleBtn(parent_->window(), 99, "OK", true), nullptr);
}

}  // namespace
