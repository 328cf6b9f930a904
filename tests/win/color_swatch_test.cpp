// The colour swatch as a window: its class, painting (frame, selected frame, checkerboard, alpha with the
// hover boost, lock mark, disabled inset), hover tracking, clicks in both modes through a test picker, the
// plain container passing notifications on, and lifetime.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"

#include "tests/win/toolkit_test_support.h"
#include "widgets/color_swatch_win32.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/plain_container_win32.h"

namespace {

constexpr int kSwatchId = 1008;
constexpr int kContainerId = 333;
constexpr uint32_t kSentinel = toolkit_test::kUnpainted;
constexpr uint32_t kBackground = 0xE8E8E8;  // RGB(232, 232, 232)
const wchar_t kParentClass[] = L"Swatch Test Parent";

// As the 32-bit DIB stores it: 0x00RRGGBB.
uint32_t Rgb(int red, int green, int blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

// A swatch colour: 0x00BBGGRR.
uint32_t Bgr(int red, int green, int blue) {
  return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}

struct Command {
  HWND receiver;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Command> commands;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    commands.push_back(Command{window, wParam, lParam});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

using toolkit_test::PumpMessages;

// What the swatch asked the test picker, and what the picker answers.
struct PickerScript {
  int calls = 0;
  uint32_t initial = 0;
  ColorPick answer = ColorPick::kPicked;
  uint32_t color = 0;
};
PickerScript picker;

ColorPick TestPicker(uint32_t initialColor, uint32_t* picked) {
  ++picker.calls;
  picker.initial = initialColor;
  if (picker.answer == ColorPick::kPicked) *picked = picker.color;
  return picker.answer;
}

using Canvas = toolkit_test::PrintCanvas;

LPARAM At(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)), static_cast<WORD>(static_cast<int16_t>(y)));
}

class ColorSwatchWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(RegisterColorSwatchClass());
    ASSERT_TRUE(RegisterPlainContainerClass());
    ASSERT_TRUE(toolkit_test::RegisterParentClass(kParentClass, ParentProc));
  }
  static void TearDownTestSuite() {
    toolkit_test::UnregisterParentClass(kParentClass);
    UnregisterPlainContainerClass();
    UnregisterColorSwatchClass();
  }

  void SetUp() override {
    commands.clear();
    picker = PickerScript{};
    Callouts.pickColor = &TestPicker;
    // Hidden: nothing paints on its own, the tests paint through WM_PRINTCLIENT.
    panel_ = toolkit_test::CreateParentWindow(kParentClass, 300, 200);
    ASSERT_NE(panel_, nullptr);
  }
  void TearDown() override {
    if (panel_ != nullptr) DestroyWindow(panel_);
    PumpMessages();
    Callouts.pickColor = nullptr;
  }

  ColorSwatch* CreateSwatch(HWND parent, int width, int height, int id = kSwatchId) {
    const HWND window = CreateToolkitWindow(std::make_unique<ColorSwatch>(), kColorSwatchClass, WS_CHILD | WS_VISIBLE,
                                            0, 0, width, height, parent, id);
    return static_cast<ColorSwatch*>(GetControlObject(window, kColorSwatchClass));
  }

  // A palette cell inside a container inside the panel, as the palette view builds them.
  ColorSwatch* CreateCell(int width, int height, int id) {
    container_ = CreateToolkitWindow(std::make_unique<PlainContainer>(), kPlainContainerClass, WS_CHILD | WS_VISIBLE, 5,
                                     5, 100, 100, panel_, kContainerId);
    if (container_ == nullptr) return nullptr;
    ColorSwatch* cell = CreateSwatch(container_, width, height, id);
    if (cell != nullptr) cell->cellMode = kPaletteCellMode;
    return cell;
  }

  HWND panel_ = nullptr;
  HWND container_ = nullptr;
};

TEST_F(ColorSwatchWindow, ClassHasDoubleClicksTheArrowAndItsOwnBackgroundBrush) {
  ASSERT_TRUE(shared::AcquireLinkLook());
  const HWND window = CreateWindowExW(0, kColorSwatchClass, L"", WS_CHILD, 0, 0, 22, 14, panel_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSwatchId)), nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetClassLongPtrW(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(window, GCLP_HCURSOR)),
            LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  EXPECT_EQ(GetClassLongPtrW(window, GCL_CBWNDEXTRA), static_cast<ULONG_PTR>(sizeof(void*)));
  const auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
  LOGBRUSH look{};
  ASSERT_EQ(GetObjectW(brush, sizeof look, &look), static_cast<int>(sizeof look));
  EXPECT_EQ(look.lbColor, RGB(232, 232, 232));
  // Windows deletes a class's brush with the class, so the class must not have the shared one.
  EXPECT_NE(brush, shared::BackgroundBrush());
  shared::ReleaseLinkLook();

  // Created without an object: one with the defaults.
  ColorSwatch* swatch = GetColorSwatch(panel_, kSwatchId);
  ASSERT_NE(swatch, nullptr);
  EXPECT_EQ(swatch->window, window);
  EXPECT_EQ(swatch->controlId, kSwatchId);
  EXPECT_EQ(swatch->clientWidth, 22);
  EXPECT_EQ(swatch->clientHeight, 14);
  EXPECT_EQ(swatch->hovered, 0);
  EXPECT_EQ(swatch->enabled, 1);
  EXPECT_EQ(swatch->cellMode, 0);
  EXPECT_EQ(swatch->selectedFrame, 0);
  EXPECT_EQ(swatch->lockMark, 0);
  EXPECT_EQ(swatch->transparentMark, 0);
  EXPECT_EQ(swatch->alpha, 255.0f);
  EXPECT_EQ(swatch->color, 0u);
  EXPECT_EQ(swatch->customColors[15], 0u);
  EXPECT_EQ(GetControlObject(window, kPlainContainerClass), nullptr);
}

TEST_F(ColorSwatchWindow, PlainSwatchIsFramedBlackAndWhiteWhileHovered) {
  ColorSwatch* swatch = CreateSwatch(panel_, 22, 14);
  ASSERT_NE(swatch, nullptr);
  swatch->SetColor(Bgr(10, 20, 30));
  Canvas canvas(22, 14);
  ASSERT_TRUE(canvas.Ready());
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(canvas.At(21, 13), Rgb(0, 0, 0));
  EXPECT_EQ(canvas.At(10, 0), Rgb(0, 0, 0));
  EXPECT_EQ(canvas.At(1, 1), Rgb(10, 20, 30));
  EXPECT_EQ(canvas.At(20, 12), Rgb(10, 20, 30));

  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(5, 5));
  EXPECT_EQ(swatch->hovered, 1);
  EXPECT_EQ(GetCapture(), swatch->window);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(21, 7), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(1, 1), Rgb(10, 20, 30));

  // Leaving: at the width is already outside.
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(22, 5));
  EXPECT_EQ(swatch->hovered, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(5, 5));
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(5, -1));
  EXPECT_EQ(swatch->hovered, 0);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(0, 0, 0));
}

TEST_F(ColorSwatchWindow, SelectedMidGrayHasAFrameOf127_127_255) {
  ColorSwatch* swatch = CreateSwatch(panel_, 13, 13);
  ASSERT_NE(swatch, nullptr);
  swatch->SetColor(0x808080);
  swatch->SetSelectedFrame(1);
  EXPECT_EQ(swatch->selectedFrame, 1);
  Canvas canvas(13, 13);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(127, 127, 255));
  EXPECT_EQ(canvas.At(12, 6), Rgb(127, 127, 255));
  EXPECT_EQ(canvas.At(6, 12), Rgb(127, 127, 255));
  EXPECT_EQ(canvas.At(6, 6), Rgb(128, 128, 128));
  // The selected frame wins over the hover look.
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(3, 3));
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(127, 127, 255));
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(-1, 3));
  swatch->SetSelectedFrame(0);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(0, 0, 0));
}

TEST_F(ColorSwatchWindow, AlphaZeroShowsTheBareCheckerboardAndFiftyWhileHovered) {
  ColorSwatch* swatch = CreateSwatch(panel_, 13, 13);
  ASSERT_NE(swatch, nullptr);
  swatch->SetColor(Bgr(200, 0, 10));
  swatch->SetAlpha(0.0f);
  EXPECT_EQ(swatch->alpha, 0.0f);
  Canvas canvas(13, 13);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(canvas.At(1, 1), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(3, 3), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(4, 1), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(1, 4), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(5, 5), Rgb(255, 255, 255));

  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(6, 6));
  canvas.PaintFrom(swatch->window);
  // 50/255 of the colour: red 200 gives 39 + 205 over light and 39 + 164 over dark; blue 10 gives 1 more.
  EXPECT_EQ(canvas.At(1, 1), Rgb(244, 205, 206));
  EXPECT_EQ(canvas.At(4, 1), Rgb(203, 164, 165));
  EXPECT_EQ(canvas.At(0, 0), Rgb(255, 255, 255));
}

TEST_F(ColorSwatchWindow, TransparentMarkResetsAlphaSoTheCheckerboardShowsUnblended) {
  ColorSwatch* swatch = CreateSwatch(panel_, 13, 13);
  ASSERT_NE(swatch, nullptr);
  swatch->SetColor(Bgr(0, 0, 0));
  swatch->SetAlpha(100.0f);
  swatch->SetTransparentMark(1);
  EXPECT_EQ(swatch->alpha, 255.0f);
  EXPECT_EQ(swatch->transparentMark, 1);
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(6, 6));  // hovering adds nothing without blending
  Canvas canvas(13, 13);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(1, 1), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(4, 1), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(11, 11), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(10, 8), Rgb(204, 204, 204));

  swatch->SetTransparentMark(0);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(1, 1), Rgb(0, 0, 0));
  EXPECT_EQ(canvas.At(4, 1), Rgb(0, 0, 0));
}

TEST_F(ColorSwatchWindow, LockMarkIsAWhiteSquareWithARedCentre) {
  ColorSwatch* swatch = CreateSwatch(panel_, 13, 13);
  ASSERT_NE(swatch, nullptr);
  swatch->SetColor(Bgr(0, 0, 255));
  swatch->SetLockMark(1);
  EXPECT_EQ(swatch->lockMark, 1);
  Canvas canvas(13, 13);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(7, 7), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(11, 7), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(11, 11), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(9, 9), Rgb(255, 0, 0));
  EXPECT_EQ(canvas.At(6, 6), Rgb(0, 0, 255));
  EXPECT_EQ(canvas.At(6, 11), Rgb(0, 0, 255));
  EXPECT_EQ(canvas.At(12, 12), Rgb(0, 0, 0));
  swatch->SetLockMark(0);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(9, 9), Rgb(0, 0, 255));
}

TEST_F(ColorSwatchWindow, DisabledSwatchShowsItsColourInsetWithoutFrame) {
  ColorSwatch* swatch = CreateSwatch(panel_, 22, 14);
  ASSERT_NE(swatch, nullptr);
  swatch->SetColor(Bgr(40, 50, 60));
  swatch->SetEnabled(0);
  EXPECT_EQ(swatch->enabled, 0);
  EXPECT_FALSE(IsWindowEnabled(swatch->window));
  Canvas canvas(22, 14);
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), kBackground);
  EXPECT_EQ(canvas.At(3, 5), kBackground);
  EXPECT_EQ(canvas.At(10, 2), kBackground);
  EXPECT_EQ(canvas.At(4, 3), Rgb(40, 50, 60));
  EXPECT_EQ(canvas.At(17, 10), Rgb(40, 50, 60));
  EXPECT_EQ(canvas.At(18, 10), kBackground);
  EXPECT_EQ(canvas.At(17, 11), kBackground);

  swatch->SetEnabled(1);
  EXPECT_EQ(swatch->enabled, 1);
  EXPECT_TRUE(IsWindowEnabled(swatch->window));
  canvas.PaintFrom(swatch->window);
  EXPECT_EQ(canvas.At(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(canvas.At(3, 5), Rgb(40, 50, 60));

  // The enable message alone also sets the flag.
  EnableWindow(swatch->window, FALSE);
  EXPECT_EQ(swatch->enabled, 0);
}

TEST_F(ColorSwatchWindow, AFocusedPlainSwatchPicksWithEnterOrSpaceAndShowsTheFocus) {
  ColorSwatch* swatch = CreateSwatch(panel_, 22, 14);
  ASSERT_NE(swatch, nullptr);
  picker.color = Bgr(90, 80, 70);
  SendMessageW(swatch->window, WM_KEYDOWN, VK_SPACE, 1);
  SendMessageW(swatch->window, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(picker.calls, 2);
  EXPECT_EQ(swatch->color, Bgr(90, 80, 70));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(kSwatchId));

  EXPECT_FALSE(swatch->Look().focused);
  SendMessageW(swatch->window, WM_SETFOCUS, 0, 0);
  EXPECT_TRUE(swatch->Look().focused);
  SendMessageW(swatch->window, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(swatch->Look().focused);
  swatch->SetFocusCue(1);  // a palette cell shows its view's focus
  EXPECT_TRUE(swatch->Look().focused);

  // A palette cell is reached through its view, never by itself.
  swatch->cellMode = kPaletteCellMode;
  SendMessageW(swatch->window, WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_EQ(picker.calls, 2);
}

TEST_F(ColorSwatchWindow, TheFocusCueRingsTheSwatchInsideItsFrame) {
  SwatchLook look;
  look.color = Bgr(200, 100, 50);
  toolkit_test::DibCanvas plain(22, 14);
  PaintColorSwatch(plain.dc(), SIZE{22, 14}, look, nullptr);
  look.focused = true;
  toolkit_test::DibCanvas focused(22, 14);
  PaintColorSwatch(focused.dc(), SIZE{22, 14}, look, nullptr);
  int changed = 0;
  for (int x = 1; x < 21; ++x) changed += focused.Pixel(x, 1) != plain.Pixel(x, 1) ? 1 : 0;
  EXPECT_GT(changed, 5);
  EXPECT_EQ(focused.Pixel(11, 7), plain.Pixel(11, 7));
  EXPECT_EQ(focused.Pixel(0, 0), plain.Pixel(0, 0));  // the frame itself stays
}

TEST_F(ColorSwatchWindow, PlainSwatchPicksOnReleaseAndTellsItsParent) {
  ColorSwatch* swatch = CreateSwatch(panel_, 22, 14);
  ASSERT_NE(swatch, nullptr);
  swatch->SetColor(Bgr(1, 2, 3));
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(5, 5));
  picker.color = Bgr(90, 80, 70);
  SendMessageW(swatch->window, WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(picker.calls, 1);
  EXPECT_EQ(picker.initial, Bgr(1, 2, 3));
  EXPECT_EQ(swatch->color, Bgr(90, 80, 70));
  EXPECT_EQ(swatch->hovered, 0);
  ASSERT_EQ(commands.size(), 1u);  // sent, so already there
  EXPECT_EQ(commands[0].receiver, panel_);
  EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(kSwatchId));
  EXPECT_EQ(commands[0].lParam, 0);

  // The right button picks too; a cancelled pick changes nothing and tells nobody.
  picker.answer = ColorPick::kUnchanged;
  SendMessageW(swatch->window, WM_MOUSEMOVE, 0, At(5, 5));
  SendMessageW(swatch->window, WM_RBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(picker.calls, 2);
  EXPECT_EQ(picker.initial, Bgr(90, 80, 70));
  EXPECT_EQ(swatch->color, Bgr(90, 80, 70));
  EXPECT_EQ(swatch->hovered, 0);
  EXPECT_EQ(commands.size(), 1u);

  // A button press alone does nothing.
  SendMessageW(swatch->window, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(picker.calls, 2);
}

TEST_F(ColorSwatchWindow, CellSingleClickSelectsThroughTheGrandparentAndNeverPicks) {
  ColorSwatch* cell = CreateCell(13, 13, 340);
  ASSERT_NE(cell, nullptr);
  SendMessageW(cell->window, WM_MOUSEMOVE, 0, At(5, 5));
  SendMessageW(cell->window, WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(picker.calls, 0);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].receiver, panel_);
  EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(340));
  EXPECT_EQ(commands[0].lParam, 1);
  EXPECT_EQ(cell->hovered, 1);  // a selection leaves the hover look alone
  SendMessageW(cell->window, WM_RBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(picker.calls, 0);
  EXPECT_EQ(commands.size(), 2u);
  PumpMessages();
  EXPECT_EQ(commands.size(), 2u);  // nothing went through the container
}

TEST_F(ColorSwatchWindow, CellDoubleClickPicksAndTheContainerPostsItOnToThePanel) {
  ColorSwatch* cell = CreateCell(13, 13, 350);
  ASSERT_NE(cell, nullptr);
  cell->SetColor(Bgr(5, 6, 7));
  picker.color = Bgr(200, 100, 50);
  SendMessageW(cell->window, WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(picker.calls, 1);
  EXPECT_EQ(picker.initial, Bgr(5, 6, 7));
  EXPECT_EQ(cell->color, Bgr(200, 100, 50));
  EXPECT_TRUE(commands.empty());  // posted by the container: not there yet
  PumpMessages();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].receiver, panel_);
  EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(350));
  EXPECT_EQ(commands[0].lParam, 0);
}

TEST_F(ColorSwatchWindow, ContainerPassesAnyCommandOnUnchanged) {
  container_ = CreateToolkitWindow(std::make_unique<PlainContainer>(), kPlainContainerClass, WS_CHILD, 0, 0, 50, 50,
                                   panel_, kContainerId);
  ASSERT_NE(container_, nullptr);
  EXPECT_NE(GetControlObject(container_, kPlainContainerClass), nullptr);
  SendMessageW(container_, WM_COMMAND, MAKEWPARAM(777, 5), 0x1234);
  EXPECT_TRUE(commands.empty());
  PumpMessages();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].receiver, panel_);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(777, 5));
  EXPECT_EQ(commands[0].lParam, 0x1234);
}

// The last line of the diagnostic log.
std::string LastLogLine() {
  std::string text;
  FILE* file = std::fopen(platform::DebugLogPath(), "rb");
  if (file == nullptr) return text;
  char block[4096];
  size_t read = 0;
  while ((read = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, read);
  std::fclose(file);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  const size_t start = text.rfind('\n');
  return start == std::string::npos ? text : text.substr(start + 1);
}

TEST_F(ColorSwatchWindow, TheHolderIsClearedWhenTheWindowGoes) {
  ColorSwatch* held = CreateSwatch(panel_, 13, 13);
  ASSERT_NE(held, nullptr);
  held->holder = &held;
  DestroyWindow(held->window);
  EXPECT_EQ(held, nullptr);
  EXPECT_EQ(LastLogLine(), "ContanerColorWndProc WM_NCDESTROY");
}

TEST_F(ColorSwatchWindow, PaintingAndDestroyingLeavesNoGdiObjectBehind) {
  const int baseline = gdi::LiveObjects();
  Canvas canvas(13, 13);
  const int withCanvas = gdi::LiveObjects();
  for (int round = 0; round < 20; ++round) {
    ColorSwatch* swatch = CreateSwatch(panel_, 13, 13);
    ASSERT_NE(swatch, nullptr);
    swatch->SetColor(0x808080);
    swatch->SetSelectedFrame(1);
    swatch->SetLockMark(1);
    swatch->SetAlpha(30.0f);
    canvas.PaintFrom(swatch->window);
    swatch->SetEnabled(0);
    canvas.PaintFrom(swatch->window);
    EXPECT_EQ(gdi::LiveObjects(), withCanvas);
    DestroyWindow(swatch->window);
  }
  EXPECT_EQ(gdi::LiveObjects(), withCanvas);
  EXPECT_GT(withCanvas, baseline);  // the counter does count: the canvas holds two
}

}  // namespace
