// The palette view with real windows: the grid it builds, the shown count and the selection, the alpha and
// key looks, the refresh rules per PNG type, notifications to the panel, the refresh hook and lifetime.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "base/platform.h"

#include "base/callouts.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "tests/win/toolkit_test_support.h"
#include "ui/palette_view_win32.h"
#include "widgets/gdi_owners_win32.h"

namespace {

constexpr int kBaseId = 333;
const wchar_t kPanelClass[] = L"Palette View Test Panel";

struct Command {
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Command> commands;

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    commands.push_back(Command{wParam, lParam});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

using toolkit_test::PumpMessages;

uint32_t pickedColor = 0;
int pickerCalls = 0;
ColorPick TestPicker(uint32_t, uint32_t* picked) {
  ++pickerCalls;
  *picked = pickedColor;
  return ColorPick::kPicked;
}

// The diagnostic log as this process has written it so far.
std::string LogText() {
  std::string text;
  FILE* file = std::fopen(platform::DebugLogPath(), "rb");
  if (file == nullptr) return text;
  char block[4096];
  size_t read = 0;
  while ((read = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, read);
  std::fclose(file);
  return text;
}

size_t CountOf(const std::string& text, const std::string& line) {
  size_t count = 0;
  for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
  return count;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Shown means the cell's own visibility; the hidden test panel would make IsWindowVisible false for all.
bool Shown(const ColorSwatch* cell) { return (GetWindowLongPtrW(cell->window, GWL_STYLE) & WS_VISIBLE) != 0; }

class PaletteViewWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(RegisterColorSwatchClass());
    ASSERT_TRUE(RegisterPlainContainerClass());
    ASSERT_TRUE(toolkit_test::RegisterParentClass(kPanelClass, PanelProc));
  }
  static void TearDownTestSuite() {
    toolkit_test::UnregisterParentClass(kPanelClass);
    UnregisterPlainContainerClass();
    UnregisterColorSwatchClass();
  }

  void SetUp() override {
    // The process's first log line empties the log: written now, the counts below see this test's lines only.
    DebugLog("test set-up");
    optionsBefore_ = SaveOptions;
    paletteBefore_ = Palette;
    wholeBefore_ = WholeImage;
    commands.clear();
    pickerCalls = 0;
    Callouts.pickColor = &TestPicker;
    // An RGB image with alpha, saved as Palette with an alpha channel.
    WholeImage._WholeMode = 3;
    WholeImage._WholePlanesIn = 4;
    SaveOptions.pngType = kPngPalette;
    SaveOptions.alphaChannel = 1;
    SaveOptions.useKeyColor = 0;
    Palette = PaletteRecord{};
    PaletteView.selected = -1;
    panel_ = toolkit_test::CreateParentWindow(kPanelClass, 400, 400);
    ASSERT_NE(panel_, nullptr);
  }
  void TearDown() override {
    PaletteView.ReleaseAll();
    if (panel_ != nullptr) DestroyWindow(panel_);
    PumpMessages();
    Callouts.pickColor = nullptr;
    SaveOptions = optionsBefore_;
    Palette = paletteBefore_;
    WholeImage = wholeBefore_;
  }

  // Entries 0.. count-1 of distinct colours, opaque and unmarked.
  static void FillPalette(int count) {
    Palette.count = count;
    for (int i = 0; i < count; ++i) {
      Palette.entries[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(100 + i / 2),
                                        static_cast<uint8_t>(255 - i), 255, 0};
    }
  }

  void CreateView() { PaletteView.CreateWND(panel_, 10, 20, 216, 216, kBaseId); }

  HWND panel_ = nullptr;
  SaveOptionsRecord optionsBefore_;
  PaletteRecord paletteBefore_;
  WholeImageRecord wholeBefore_;
};

TEST_F(PaletteViewWindow, CreatesTheContainerAndTheGridOfHiddenCells) {
  Callouts.paletteViewRefresh = nullptr;
  CreateView();
  const HWND container = GetDlgItem(panel_, kBaseId);
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(PaletteView.window, container);
  EXPECT_EQ(PaletteView.parent, panel_);
  EXPECT_NE(PaletteView.container, nullptr);
  EXPECT_EQ(GetControlObject(container, L"Contaner CPP"), PaletteView.container);
  RECT place{};
  GetWindowRect(container, &place);
  MapWindowPoints(nullptr, panel_, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 10);
  EXPECT_EQ(place.top, 20);
  EXPECT_EQ(place.right, 226);
  EXPECT_EQ(place.bottom, 236);
  EXPECT_EQ(Callouts.paletteViewRefresh, &RefreshPaletteView);

  for (int i : {0, 17, 255}) {
    ColorSwatch* cell = PaletteView.iColorBtn[i];
    ASSERT_NE(cell, nullptr) << i;
    EXPECT_EQ(GetDlgItem(container, kBaseId + 1 + i), cell->window);
    EXPECT_EQ(cell->cellMode, 4);
    EXPECT_FALSE(Shown(cell));
    EXPECT_EQ(cell->clientWidth, 13);
    EXPECT_EQ(cell->clientHeight, 13);
  }
  RECT cell17{};
  GetWindowRect(PaletteView.iColorBtn[17]->window, &cell17);
  MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&cell17), 2);
  EXPECT_EQ(cell17.left, 13);
  EXPECT_EQ(cell17.top, 13);
  RECT cell255{};
  GetWindowRect(PaletteView.iColorBtn[255]->window, &cell255);
  MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&cell255), 2);
  EXPECT_EQ(cell255.left, 195);
  EXPECT_EQ(cell255.bottom, 208);
  EXPECT_EQ(GetDlgItem(container, 589), PaletteView.iColorBtn[255]->window);
}

TEST_F(PaletteViewWindow, SixteenColoursShowSixteenCellsInOneRow) {
  // A visible panel, off the screen, so that IsWindowVisible reports the cells themselves.
  SetWindowPos(panel_, nullptr, -3000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(panel_, SW_SHOWNA);
  CreateView();
  FillPalette(16);
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.shownCount, 16);
  for (int i = 0; i < 256; ++i) {
    ASSERT_NE(PaletteView.iColorBtn[i], nullptr);
    EXPECT_EQ(IsWindowVisible(PaletteView.iColorBtn[i]->window) != FALSE, i < 16) << i;
  }
  EXPECT_EQ(PaletteView.iColorBtn[15]->color, 0x00F06B0Fu);  // red 15, green 107, blue 240
  EXPECT_EQ(PaletteView.colors[15].green, 107);
  PumpMessages();  // the visible cells paint through WM_PAINT
}

TEST_F(PaletteViewWindow, AChangedShownCountClearsTheSelectionTheSameCountKeepsIt) {
  CreateView();
  FillPalette(16);
  RefreshPaletteView();
  PaletteView.Select(3);
  EXPECT_EQ(PaletteView.selected, 3);
  EXPECT_EQ(PaletteView.iColorBtn[3]->selectedFrame, 1);
  PaletteView.Select(5);
  EXPECT_EQ(PaletteView.iColorBtn[3]->selectedFrame, 0);
  EXPECT_EQ(PaletteView.iColorBtn[5]->selectedFrame, 1);

  PaletteView.SetShownCount(16);
  EXPECT_EQ(PaletteView.selected, 5);
  EXPECT_EQ(PaletteView.iColorBtn[5]->selectedFrame, 1);

  PaletteView.SetShownCount(8);
  EXPECT_EQ(PaletteView.selected, -1);
  EXPECT_EQ(PaletteView.iColorBtn[5]->selectedFrame, 0);
  EXPECT_TRUE(Shown(PaletteView.iColorBtn[7]));
  EXPECT_FALSE(Shown(PaletteView.iColorBtn[8]));

  PaletteView.Select(2);
  PaletteView.Select(-1);
  EXPECT_EQ(PaletteView.selected, -1);
  EXPECT_EQ(PaletteView.iColorBtn[2]->selectedFrame, 0);
}

TEST_F(PaletteViewWindow, AlphaLookShowsEachEntrysAlpha) {
  CreateView();
  FillPalette(3);
  Palette.entries[0].alpha = 0;
  Palette.entries[1].alpha = 128;
  Palette.entries[2].mark = 1;
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.iColorBtn[0]->alpha, 0.0f);
  EXPECT_EQ(PaletteView.iColorBtn[1]->alpha, 128.0f);
  EXPECT_EQ(PaletteView.iColorBtn[2]->alpha, 255.0f);
  EXPECT_EQ(PaletteView.iColorBtn[0]->transparentMark, 0);
  EXPECT_EQ(PaletteView.iColorBtn[0]->lockMark, 0);
  EXPECT_EQ(PaletteView.iColorBtn[2]->lockMark, 1);
  EXPECT_EQ(PaletteView.colors[1].alpha, 128);
}

TEST_F(PaletteViewWindow, KeyLookMarksOnlyEntriesOfAlphaZero) {
  SaveOptions.alphaChannel = 0;
  SaveOptions.useKeyColor = 1;
  CreateView();
  FillPalette(3);
  Palette.entries[0].alpha = 0;
  Palette.entries[1].alpha = 128;
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.iColorBtn[0]->transparentMark, 1);
  EXPECT_EQ(PaletteView.iColorBtn[1]->transparentMark, 0);
  EXPECT_EQ(PaletteView.iColorBtn[2]->transparentMark, 0);
  EXPECT_EQ(PaletteView.iColorBtn[0]->alpha, 255.0f);
  EXPECT_EQ(PaletteView.iColorBtn[1]->alpha, 255.0f);

  // Without an alpha plane there is no key look.
  WholeImage._WholePlanesIn = 3;
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.iColorBtn[0]->transparentMark, 0);
}

TEST_F(PaletteViewWindow, NewCellsTakeTheLookOfTheColoursLastCopied) {
  // As the panel does it: refresh before the cells exist, then create them.
  SaveOptions.alphaChannel = 0;
  SaveOptions.useKeyColor = 1;
  FillPalette(2);
  Palette.entries[0].alpha = 0;
  Palette.entries[1].alpha = 40;
  RefreshPaletteView();
  CreateView();
  EXPECT_EQ(PaletteView.iColorBtn[0]->color, 0x00FF6400u);  // red 0, green 100, blue 255
  EXPECT_EQ(PaletteView.iColorBtn[0]->transparentMark, 1);
  EXPECT_EQ(PaletteView.iColorBtn[1]->transparentMark, 0);
  EXPECT_EQ(PaletteView.iColorBtn[1]->alpha, 255.0f);
  PaletteView.ReleaseAll();

  SaveOptions.alphaChannel = 1;
  CreateView();
  EXPECT_EQ(PaletteView.iColorBtn[0]->transparentMark, 0);
  EXPECT_EQ(PaletteView.iColorBtn[0]->alpha, 0.0f);
  EXPECT_EQ(PaletteView.iColorBtn[1]->alpha, 40.0f);
}

TEST_F(PaletteViewWindow, CellsShowTheEntriesAsTheFileWillState) {
  // An opaque RGB image with Alpha Channel on: the file has no tRNS, so the last entry's build alpha (500 mod
  // 256, for "no alpha measured") is no part of it; from the first cell on it shows opaque.
  WholeImage._WholePlanesIn = 3;
  FillPalette(256);
  Palette.entries[255].alpha = 244;
  RefreshPaletteView();
  CreateView();
  EXPECT_EQ(PaletteView.iColorBtn[255]->alpha, 255.0f);
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.iColorBtn[255]->alpha, 255.0f);
  PaletteView.ReleaseAll();

  // An indexed image's transparent index, whatever the options, is clear.
  WholeImage._WholeMode = 2;
  WholeImage._WholePlanesIn = 1;
  FillPalette(4);
  Palette.entries[2].alpha = 0;
  RefreshPaletteView();
  CreateView();
  EXPECT_EQ(PaletteView.iColorBtn[2]->transparentMark, 1);
  EXPECT_EQ(PaletteView.iColorBtn[1]->transparentMark, 0);
  EXPECT_EQ(PaletteView.iColorBtn[1]->alpha, 255.0f);
}

TEST_F(PaletteViewWindow, OtherTypesShowNoCellsExceptForAnIndexedImage) {
  CreateView();
  FillPalette(16);
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.shownCount, 16);

  SaveOptions.pngType = kPngRgb;
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.shownCount, 0);
  EXPECT_FALSE(Shown(PaletteView.iColorBtn[0]));

  // An indexed image shows the host's colour table whatever the type.
  WholeImage._WholeMode = 2;
  WholeImage._WholePlanesIn = 1;
  FillPalette(4);
  Palette.entries[3] = PaletteEntry{9, 8, 7, 255, 0};
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.shownCount, 4);
  EXPECT_TRUE(Shown(PaletteView.iColorBtn[3]));
  EXPECT_EQ(PaletteView.iColorBtn[3]->color, 0x00070809u);
}

TEST_F(PaletteViewWindow, ClickSelectsThroughThePanelDoubleClickPicksTheEntryColour) {
  CreateView();
  FillPalette(16);
  RefreshPaletteView();
  ColorSwatch* cell = PaletteView.iColorBtn[9];
  SendMessageW(cell->window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(343));
  EXPECT_EQ(commands[0].lParam, 1);
  EXPECT_EQ(pickerCalls, 0);

  pickedColor = 0x00123456;
  SendMessageW(cell->window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
  EXPECT_EQ(pickerCalls, 1);
  EXPECT_EQ(cell->color, 0x00123456u);
  PumpMessages();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].wParam, static_cast<WPARAM>(343));
  EXPECT_EQ(commands[1].lParam, 0);
}

TEST_F(PaletteViewWindow, ReleaseAllDestroysTheCellsKeepsTheSelectionAndRemovesTheHook) {
  CreateView();
  FillPalette(16);
  RefreshPaletteView();
  PaletteView.Select(4);
  const HWND cellWindow = PaletteView.iColorBtn[4]->window;
  const size_t releasesBefore = CountOf(LogText(), "TPalettePalette::ReleaseAll BEGIN\n");
  PaletteView.ReleaseAll();
  const std::string log = LogText();
  EXPECT_EQ(CountOf(log, "TPalettePalette::ReleaseAll BEGIN\n"), releasesBefore + 1);
  EXPECT_TRUE(EndsWith(log, "TPalettePalette::ReleaseAll END\n"));
  EXPECT_FALSE(IsWindow(cellWindow));
  for (ColorSwatch* cell : PaletteView.iColorBtn) EXPECT_EQ(cell, nullptr);
  EXPECT_EQ(PaletteView.shownCount, 0);
  EXPECT_EQ(PaletteView.selected, 4);
  EXPECT_EQ(Callouts.paletteViewRefresh, nullptr);
  EXPECT_TRUE(IsWindow(PaletteView.window));  // the container goes with the panel
  // Without cells every operation skips them.
  PaletteView.Select(2);
  PaletteView.SetShownCount(3);
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.shownCount, 16);
}

TEST_F(PaletteViewWindow, APanelDestroyedFirstLeavesNoDanglingCells) {
  CreateView();
  DestroyWindow(panel_);
  panel_ = nullptr;
  for (ColorSwatch* cell : PaletteView.iColorBtn) EXPECT_EQ(cell, nullptr);
  EXPECT_EQ(PaletteView.container, nullptr);
  PaletteView.Select(1);
  PaletteView.ReleaseAll();
  EXPECT_EQ(Callouts.paletteViewRefresh, nullptr);
}

TEST_F(PaletteViewWindow, WithoutTheContainerClassThereAreNoCells) {
  UnregisterPlainContainerClass();
  CreateView();
  const std::string log = LogText();
  EXPECT_TRUE(EndsWith(log, "TPalettePalette::CreateWND Error, cannot create WND\n"));
  EXPECT_EQ(PaletteView.window, nullptr);
  EXPECT_EQ(PaletteView.container, nullptr);
  for (ColorSwatch* cell : PaletteView.iColorBtn) EXPECT_EQ(cell, nullptr);
  FillPalette(5);
  RefreshPaletteView();
  EXPECT_EQ(PaletteView.shownCount, 5);
  PaletteView.Select(1);
  EXPECT_EQ(PaletteView.selected, 1);
  ASSERT_TRUE(RegisterPlainContainerClass());
}

TEST_F(PaletteViewWindow, WithoutTheCellClassEverySlotStaysEmpty) {
  UnregisterColorSwatchClass();
  const size_t missingBefore = CountOf(LogText(), "Ahtung! iColorBtn[i] = NULL\n");
  CreateView();
  EXPECT_NE(PaletteView.window, nullptr);
  EXPECT_EQ(CountOf(LogText(), "Ahtung! iColorBtn[i] = NULL\n"), missingBefore + 256);
  for (ColorSwatch* cell : PaletteView.iColorBtn) EXPECT_EQ(cell, nullptr);
  FillPalette(3);
  RefreshPaletteView();
  PaletteView.Select(0);
  EXPECT_EQ(PaletteView.shownCount, 3);
  ASSERT_TRUE(RegisterColorSwatchClass());
}

TEST_F(PaletteViewWindow, TwentyRoundsOfCreateAndReleaseLeaveNoGdiObjectOrWindow) {
  const int baseline = gdi::LiveObjects();
  FillPalette(256);
  for (int round = 0; round < 20; ++round) {
    CreateView();
    RefreshPaletteView();
    PaletteView.Select(round);
    // A paint of a cell uses a brush, a pen for the selected frame and the off-screen bitmap.
    gdi::WindowDc screen(nullptr);
    SendMessageW(PaletteView.iColorBtn[round]->window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(screen.get()),
                 PRF_CLIENT);
    PaletteView.ReleaseAll();
    EXPECT_EQ(GetDlgItem(PaletteView.window, kBaseId + 1), nullptr);
    DestroyWindow(PaletteView.window);
  }
  EXPECT_EQ(gdi::LiveObjects(), baseline);
}

}  // namespace
