// "ContainerLinkC": bold black inactive text that does nothing, blue active links that send their command,
// alignment, and the shared fonts and cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "tests/win/toolkit_test_support.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/link_win32.h"
#include "widgets/mac_style_button_win32.h"

using toolkit_test::DibCanvas;
using toolkit_test::HiddenParent;
using toolkit_test::Rgb;

namespace {

constexpr int kId = 1004;
constexpr int kWidth = 140;
constexpr int kHeight = 20;
const Rgb kBlack{0, 0, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kBackground{232, 232, 232};

int Weight(HFONT font) {
  LOGFONTW description{};
  GetObjectW(font, sizeof description, &description);
  return description.lfWeight;
}

// The overrides no dialog of the plug-in sets, stored as a caller would store them and shown at once. The bitmap
// and fonts stay the caller's.
void SetBackgroundBitmap(LinkText& link, HBITMAP bitmap, int sourceX, int sourceY) {
  link.backgroundBitmap = bitmap;
  link.backgroundSource = POINT{sourceX, sourceY};
  link.bitmapBackground = bitmap != nullptr ? 1 : 0;
  link.Repaint();
}

void SetFonts(LinkText& link, HFONT normal, HFONT underlined) {
  link.normalFont = normal;
  link.linkFont = underlined;
  link.Repaint();
}

void SetCustomColor(LinkText& link, COLORREF color) {
  link.customColor = color;
  link.hasCustomColor = 1;
  link.Repaint();
}

class LinkWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InitLinkCommon());
    parent_ = std::make_unique<HiddenParent>();
    link_ = parent_->AddChild(kLinkClass, kId, kWidth, kHeight);
    ASSERT_NE(link_, nullptr);
  }
  void TearDown() override {
    parent_.reset();
    ReleaseLinkCommon();
  }

  std::unique_ptr<DibCanvas> Shown() const {
    auto canvas = std::make_unique<DibCanvas>(kWidth, kHeight);
    SendMessageW(link_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
    return canvas;
  }

  std::unique_ptr<HiddenParent> parent_;
  HWND link_ = nullptr;
};

const RECT kAll{0, 0, kWidth, kHeight};

TEST_F(LinkWindow, InactiveLinkIsBoldBlackTextThatDoesNothing) {
  LinkText* link = InitLink(parent_->window(), kId, "brindlewerks.example", false, false);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->look, LinkText::kLookOnDialog);
  const LinkPaint inputs = link->PaintInputs();
  EXPECT_EQ(inputs.font, shared::LinkBoldFont());
  EXPECT_EQ(Weight(inputs.font), FW_BOLD);

  auto canvas = Shown();
  EXPECT_GT(canvas->Count(kAll, [](Rgb c) { return c == kBlack; }), 0);
  EXPECT_EQ(canvas->Count(kAll, [](Rgb c) { return c == kBlue; }), 0);
  EXPECT_EQ(canvas->Pixel(0, 0), kBackground);

  HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  SetCursor(arrow);
  SendMessageW(link_, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
  EXPECT_EQ(GetCursor(), arrow);
  SendMessageW(link_, WM_SETCURSOR, reinterpret_cast<WPARAM>(link_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), shared::HandCursor());

  SendMessageW(link_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  SendMessageW(link_, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  EXPECT_TRUE(parent_->SentCommands().empty());
  EXPECT_TRUE(parent_->TakePostedCommands().empty());
}

TEST_F(LinkWindow, ActiveLinkIsBlueUnderlinedAndSendsItsCommand) {
  LinkText* link = InitLink(parent_->window(), kId, "brindlewerks.example", true, false);
  ASSERT_NE(link, nullptr);
  const LinkPaint inputs = link->PaintInputs();
  EXPECT_EQ(inputs.font, shared::LinkUnderlinedFont());
  LOGFONTW description{};
  GetObjectW(inputs.font, sizeof description, &description);
  EXPECT_TRUE(description.lfUnderline);
  EXPECT_EQ(description.lfWeight, FW_NORMAL);

  auto canvas = Shown();
  EXPECT_GT(canvas->Count(kAll, [](Rgb c) { return c == kBlue; }), 0);
  EXPECT_EQ(canvas->Count(kAll, [](Rgb c) { return c == kBlack; }), 0);

  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
  SendMessageW(link_, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
  ASSERT_NE(shared::HandCursor(), nullptr);
  EXPECT_EQ(GetCursor(), shared::HandCursor());

  SendMessageW(link_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  ASSERT_EQ(parent_->SentCommands().size(), 1u);
  EXPECT_EQ(parent_->SentCommands()[0].first, static_cast<WPARAM>(kId));
  EXPECT_EQ(parent_->SentCommands()[0].second, 0);
  EXPECT_TRUE(parent_->TakePostedCommands().empty());
}

TEST_F(LinkWindow, AFocusedActiveLinkOpensWithEnterOrSpaceAndShowsTheFocus) {
  ASSERT_NE(InitLink(parent_->window(), kId, "brindlewerks.example", true, false), nullptr);
  SendMessageW(link_, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(link_, WM_KEYDOWN, VK_SPACE, 1);
  SendMessageW(link_, WM_KEYDOWN, VK_TAB, 1);
  ASSERT_EQ(parent_->SentCommands().size(), 2u);
  EXPECT_EQ(parent_->SentCommands()[1].first, static_cast<WPARAM>(kId));

  const auto before = Shown();
  SendMessageW(link_, WM_SETFOCUS, 0, 0);
  const auto after = Shown();
  int changed = 0;
  for (int x = 1; x < kWidth - 1; ++x) changed += after->Pixel(x, 1) != before->Pixel(x, 1) ? 1 : 0;
  EXPECT_GT(changed, kWidth / 4);
}

TEST_F(LinkWindow, AnInactiveLinkTakesNoKeys) {
  ASSERT_NE(InitLink(parent_->window(), kId, "text", false, false), nullptr);
  SendMessageW(link_, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(parent_->SentCommands().empty());
}

TEST_F(LinkWindow, TextIsCentredOrLeftAligned) {
  auto inkedColumns = [](const DibCanvas& canvas, int* first, int* last) {
    *first = kWidth;
    *last = -1;
    for (int x = 0; x < kWidth; ++x) {
      if (canvas.Count(RECT{x, 0, x + 1, kHeight}, [](Rgb c) { return c != kBackground; }) > 0) {
        *first = std::min(*first, x);
        *last = std::max(*last, x);
      }
    }
  };
  int first = 0;
  int last = 0;
  InitLink(parent_->window(), kId, "Wide", false, true);
  inkedColumns(*Shown(), &first, &last);
  ASSERT_GE(last, 0);
  EXPECT_LE(first, 2);

  InitLink(parent_->window(), kId, "Wide", false, false);
  inkedColumns(*Shown(), &first, &last);
  ASSERT_GE(last, 0);
  EXPECT_LE(std::abs(first - (kWidth - 1 - last)), 3) << first << " .. " << last;
}

TEST_F(LinkWindow, CustomColourAndFontOverridesAreClearedByInit) {
  LinkText* link = InitLink(parent_->window(), kId, "text", true, false);
  ASSERT_NE(link, nullptr);
  SetCustomColor(*link, RGB(0, 160, 0));
  SetFonts(*link, shared::LinkBoldFont(), shared::LinkBoldFont());
  EXPECT_EQ(link->PaintInputs().color, RGB(0, 160, 0));
  EXPECT_EQ(link->PaintInputs().font, shared::LinkBoldFont());
  auto canvas = Shown();
  EXPECT_GT(canvas->Count(kAll, [](Rgb c) { return c == Rgb{0, 160, 0}; }), 0);

  InitLink(parent_->window(), kId, "text", true, false);
  EXPECT_EQ(link->PaintInputs().color, static_cast<COLORREF>(0xFF0000));
  EXPECT_EQ(link->PaintInputs().font, shared::LinkUnderlinedFont());
}

TEST_F(LinkWindow, BackgroundComesFromTheBitmapWhenOneIsSet) {
  LinkText* link = InitLink(parent_->window(), kId, "x", false, true);
  ASSERT_NE(link, nullptr);
  HBITMAP backdrop = toolkit_test::MakeBitmap(300, 60, [](int x, int y) { return RGB(x % 256, y, 50); });
  SetBackgroundBitmap(*link, backdrop, 100, 30);
  auto canvas = Shown();
  EXPECT_EQ(canvas->Pixel(kWidth - 1, 0), (Rgb{(100 + kWidth - 1) % 256, 30, 50}));
  EXPECT_EQ(canvas->Pixel(kWidth - 1, kHeight - 1), (Rgb{(100 + kWidth - 1) % 256, 30 + kHeight - 1, 50}));
  SetBackgroundBitmap(*link, nullptr, 0, 0);
  DeleteObject(backdrop);
}

TEST_F(LinkWindow, WithoutTextOnlyTheBackgroundIsShown) {
  auto canvas = Shown();
  EXPECT_EQ(canvas->Count(kAll, [](Rgb c) { return c != kBackground; }), 0);
}

TEST_F(LinkWindow, CommandsReachingTheLinkGoOnToItsParent) {
  SendMessageW(link_, WM_COMMAND, 42, 7);
  const auto posted = parent_->TakePostedCommands();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].first, 42u);
  EXPECT_EQ(posted[0].second, 7);
}

TEST_F(LinkWindow, InitOfAnItemOfAnotherClassDoesNothing) {
  ASSERT_TRUE(InitMacStyleBtnCommon());
  HWND button = parent_->AddChild(kMacStyleBtnClass, 7, 60, 24);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(InitLink(parent_->window(), 7, "text", true, false), nullptr);
  DestroyWindow(button);
  ReleaseMacStyleBtnCommon();
}

TEST(LinkCommon, MakesTheSharedLookAndReleasesItAtTheLastRelease) {
  EXPECT_EQ(shared::BackgroundBrush(), nullptr);
  ASSERT_TRUE(InitLinkCommon());
  HBRUSH brush = shared::BackgroundBrush();
  ASSERT_NE(brush, nullptr);
  LOGBRUSH description{};
  GetObjectW(brush, sizeof description, &description);
  EXPECT_EQ(description.lbColor, RGB(232, 232, 232));
  EXPECT_EQ(Weight(shared::LinkBoldFont()), FW_BOLD);
  WNDCLASSEXW registered{};
  registered.cbSize = sizeof registered;
  EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kLinkClass, &registered));

  ASSERT_TRUE(InitLinkCommon());  // a nested user keeps everything alive
  ReleaseLinkCommon();
  EXPECT_EQ(shared::BackgroundBrush(), brush);
  EXPECT_NE(GetObjectType(brush), 0u);

  ReleaseLinkCommon();
  EXPECT_EQ(shared::BackgroundBrush(), nullptr);
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kLinkClass, &registered));
}

}  // namespace
