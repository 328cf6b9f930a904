// AddTooltip: one balloon tool over the control that wraps at 100 pixels and goes away with the control.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "tests/win/toolkit_test_support.h"
#include "widgets/dpi_scale.h"
#include "widgets/link_win32.h"
#include "widgets/mac_style_button_win32.h"
#include "widgets/tooltip_win32.h"
#include "widgets/window_dpi_win32.h"

using toolkit_test::HiddenParent;

namespace {

class Tooltip : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    ASSERT_TRUE(InitLinkCommon());
    ASSERT_TRUE(InitMacStyleBtnCommon());
    parent_ = std::make_unique<HiddenParent>();
    control_ = parent_->AddChild(kMacStyleBtnClass, 1, 84, 24);
    ASSERT_NE(control_, nullptr);
  }
  void TearDown() override {
    parent_.reset();
    ReleaseMacStyleBtnCommon();
    ReleaseLinkCommon();
  }

  std::unique_ptr<HiddenParent> parent_;
  HWND control_ = nullptr;
};

TEST_F(Tooltip, LongTextGetsOneBalloonToolThatWraps) {
  const char* text = "Save image and close, keeping every option chosen here for the next save";
  HWND tip = AddTooltip(control_, text, nullptr);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 100);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_NE(GetWindowLongPtrW(tip, GWL_STYLE) & TTS_BALLOON, 0);
  EXPECT_NE(GetWindowLongPtrW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  wchar_t shown[256] = {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = control_;
  tool.uId = 0;
  tool.lpszText = shown;
  ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(std::wstring(shown),
            std::wstring(L"Save image and close, keeping every option chosen here for the next save"));
  const UINT flags = TTF_SUBCLASS | TTF_CENTERTIP | TTF_TRANSPARENT;
  EXPECT_EQ(tool.uFlags & flags, flags);
  EXPECT_EQ(tool.rect.right - tool.rect.left, 84);
  EXPECT_EQ(tool.rect.bottom - tool.rect.top, 24);
}

TEST_F(Tooltip, ItsWrapWidthIsSetAgainWhenTheControlChangesDpi) {
  HWND tip = AddTooltip(control_, "Dont save and close", nullptr);
  ASSERT_NE(tip, nullptr);
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 37);
  // What a control hears after its dialog has moved to another monitor; this screen's DPI is 96.
  SendMessageW(control_, WM_DPICHANGED_AFTERPARENT, 0, 0);
  EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), ScaledForDpi(100, DpiOfWindow(control_)));
}

TEST_F(Tooltip, TitleIsAccepted) { EXPECT_NE(AddTooltip(control_, "About this software", "Vexlorin"), nullptr); }

TEST_F(Tooltip, MissingControlOrTextMakesNone) {
  EXPECT_EQ(AddTooltip(nullptr, "text", nullptr), nullptr);
  EXPECT_EQ(AddTooltip(control_, nullptr, nullptr), nullptr);
}

TEST_F(Tooltip, GoesAwayWithItsControl) {
  HWND tip = AddTooltip(control_, "Dont save and close", nullptr);
  ASSERT_NE(tip, nullptr);
  ASSERT_TRUE(IsWindow(tip));
  DestroyWindow(control_);
  EXPECT_FALSE(IsWindow(tip));
}

}  // namespace
