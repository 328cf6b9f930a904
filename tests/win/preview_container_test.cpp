// The preview control as a window: registration, centring, painting at rest and while dragging, the
// checkerboard, panning with the notification and snap-back, the wide-image case and lifetime.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "tests/support/shared_preview_source.h"
#include "tests/win/toolkit_test_support.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/preview_container_win32.h"

namespace {

constexpr int kPreviewId = 1005;
constexpr uint32_t kSentinel = toolkit_test::kUnpainted;
constexpr uint32_t kBackground = 0xE8E8E8;  // RGB(232, 232, 232)
const wchar_t kParentClass[] = L"Preview Test Parent";

uint32_t Rgb(int red, int green, int blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

// What the parent saw of the control's notifications; it answers like the dialog: Resample, Compose.
struct ParentLog {
  int commands = 0;
  WPARAM wParam = 0;
  LPARAM lParam = -1;
  int originXAtNotice = 0;
  int originYAtNotice = 0;
  PreviewContainer* answer = nullptr;
};
ParentLog parentLog;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    ++parentLog.commands;
    parentLog.wParam = wParam;
    parentLog.lParam = lParam;
    if (parentLog.answer != nullptr) {
      parentLog.originXAtNotice = parentLog.answer->originX;
      parentLog.originYAtNotice = parentLog.answer->originY;
      parentLog.answer->Resample();
      parentLog.answer->Compose();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

using Canvas = toolkit_test::PrintCanvas;

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)), static_cast<WORD>(y)); }

class PreviewContainerWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The class owns its brush and Windows deletes it at unregistration.
    background_ = CreateSolidBrush(RGB(232, 232, 232));
    ASSERT_TRUE(RegisterPreviewContainerClass(background_));
    ASSERT_TRUE(toolkit_test::RegisterParentClass(kParentClass, ParentProc));
  }
  static void TearDownTestSuite() {
    toolkit_test::UnregisterParentClass(kParentClass);
    UnregisterPreviewContainerClass();
  }

  void SetUp() override {
    wholeBefore_ = WholeImage;
    reducedBefore_ = ReducedImage;
    optionsBefore_ = SaveOptions;
    paletteBefore_ = Palette;
    parentLog = ParentLog{};
    parent_ = toolkit_test::CreateParentWindow(kParentClass, 600, 400);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    if (parent_ != nullptr) DestroyWindow(parent_);
    WholeImage = wholeBefore_;
    ReducedImage = reducedBefore_;
    SaveOptions = optionsBefore_;
    Palette = paletteBefore_;
  }

  // The reduced rows (owned by the test) as the shared image of the given type, made from an RGB image.
  void UseImage(std::vector<uint8_t>& rows, int width, int height, int bytesPerPixel, int8_t pngType, int planesIn) {
    WholeImage._WholeMode = kWholeRgb;
    WholeImage._WholeWidth = width;
    WholeImage._WholeHeight = height;
    WholeImage._WholePlanesIn = planesIn;
    ReducedImage.pixels = rows.data();
    ReducedImage.bytesPerPixel = bytesPerPixel;
    ReducedImage.rowBytes = width * bytesPerPixel;
    SaveOptions.pngType = pngType;
  }

  // A preview that shows the shared records at `zoom_`, as the dialog's does.
  HWND CreatePreview(int width, int height) {
    auto preview = std::make_unique<PreviewContainer>();
    if (withSource_) preview->imageSource = SharedPreviewSource;
    preview->zoom = zoom_;
    return CreateToolkitWindow(std::move(preview), kPreviewContainerClass, WS_CHILD, 0, 0, width, height, parent_,
                               kPreviewId);
  }

  static HBRUSH background_;
  int32_t zoom_ = kFullSizeZoom;
  bool withSource_ = true;
  HWND parent_ = nullptr;
  WholeImageRecord wholeBefore_;
  ReducedImageRecord reducedBefore_;
  SaveOptionsRecord optionsBefore_;
  PaletteRecord paletteBefore_;
};
HBRUSH PreviewContainerWindow::background_ = nullptr;

// RGB rows whose red byte is 100 + column and green byte 50 + row.
std::vector<uint8_t> NumberedRgb(int width, int height) {
  std::vector<uint8_t> rows(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &rows[(static_cast<size_t>(y) * width + x) * 3];
      pixel[0] = static_cast<uint8_t>(100 + x);
      pixel[1] = static_cast<uint8_t>(50 + y);
      pixel[2] = 7;
    }
  }
  return rows;
}

TEST_F(PreviewContainerWindow, ClassIsRegisteredWithTheSizeAllCursorAndTheGivenBrush) {
  const HWND preview = CreatePreview(20, 16);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(GetClassLongPtrW(preview, GCL_STYLE), 0);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(preview, GCLP_HCURSOR)),
            LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEALL)));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrW(preview, GCLP_HBRBACKGROUND)), background_);
  EXPECT_EQ(GetClassLongPtrW(preview, GCL_CBWNDEXTRA), static_cast<ULONG_PTR>(sizeof(void*)));

  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->window, preview);
  EXPECT_EQ(control->controlId, kPreviewId);
  EXPECT_EQ(control->clientWidth, 20);
  EXPECT_EQ(control->clientHeight, 16);
  EXPECT_EQ(control->originX, 0);
  EXPECT_EQ(control->originY, 0);
  EXPECT_EQ(GetControlObject(preview, L"Contaner CPP"), nullptr);
}

TEST_F(PreviewContainerWindow, WithoutCreationDataTheWindowMakesItsOwnObject) {
  const HWND preview = CreateWindowExW(0, kPreviewContainerClass, L"", WS_CHILD, 0, 0, 30, 20, parent_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPreviewId)), nullptr, nullptr);
  ASSERT_NE(preview, nullptr);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->clientWidth, 30);
  EXPECT_EQ(control->controlId, kPreviewId);
}

TEST_F(PreviewContainerWindow, ResamplingWaitsForAnImageSource) {
  std::vector<uint8_t> rows = NumberedRgb(6, 4);
  UseImage(rows, 6, 4, 3, kPngRgb, 3);
  withSource_ = false;
  ASSERT_NE(CreatePreview(20, 16), nullptr);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  control->viewWidth = 12345;
  control->Resample();
  EXPECT_EQ(control->viewWidth, 12345);
  EXPECT_FALSE(control->panes[0].viewPixels);
  control->imageSource = SharedPreviewSource;
  control->Resample();
  EXPECT_EQ(control->viewWidth, 6);
  EXPECT_TRUE(control->panes[0].viewPixels);
}

TEST_F(PreviewContainerWindow, ASizeChangeStoresTheClientSizeAndResamples) {
  std::vector<uint8_t> rows = NumberedRgb(30, 20);
  UseImage(rows, 30, 20, 3, kPngRgb, 3);
  const HWND preview = CreatePreview(20, 16);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  SetWindowPos(preview, nullptr, 0, 0, 10, 12, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  EXPECT_EQ(control->clientWidth, 10);
  EXPECT_EQ(control->clientHeight, 12);
  EXPECT_EQ(control->viewWidth, 10);
  EXPECT_EQ(control->viewHeight, 12);
  ASSERT_TRUE(control->panes[0].viewPixels);
  // Top-left of the view: image pixel (0, 0) opaque.
  EXPECT_EQ(control->panes[0].viewPixels.data()[0], 100);
  EXPECT_EQ(control->panes[0].viewPixels.data()[3], 255);
}

TEST_F(PreviewContainerWindow, ASmallImageIsCentredAndItsPaddingColumnsStayHidden) {
  std::vector<uint8_t> rows = NumberedRgb(6, 4);
  UseImage(rows, 6, 4, 3, kPngRgb, 3);
  const HWND preview = CreatePreview(20, 16);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  control->Resample();
  control->Compose();
  EXPECT_EQ(control->viewWidth, 6);
  EXPECT_EQ(control->viewHeight, 4);
  EXPECT_EQ(control->bitmapWidth, 8);
  EXPECT_EQ(control->bitmapHeight, 4);
  EXPECT_EQ(control->panes[0].offsetX, 7);
  EXPECT_EQ(control->panes[0].offsetY, 6);
  ASSERT_TRUE(control->panes[0].bitmap);

  Canvas canvas(20, 16);
  ASSERT_TRUE(canvas.Ready());
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(7, 6), Rgb(100, 50, 7));
  EXPECT_EQ(canvas.At(12, 9), Rgb(105, 53, 7));
  EXPECT_EQ(canvas.At(6, 6), kBackground);
  EXPECT_EQ(canvas.At(13, 6), kBackground);  // bitmap columns 6 and 7 are padding
  EXPECT_EQ(canvas.At(14, 9), kBackground);
  EXPECT_EQ(canvas.At(7, 5), kBackground);
  EXPECT_EQ(canvas.At(7, 10), kBackground);
  EXPECT_EQ(canvas.At(0, 0), kBackground);
  EXPECT_EQ(canvas.At(19, 15), kBackground);
}

TEST_F(PreviewContainerWindow, DraggingMovesThePictureAndReleaseSnapsASmallImageBack) {
  std::vector<uint8_t> rows = NumberedRgb(6, 4);
  UseImage(rows, 6, 4, 3, kPngRgb, 3);
  const HWND preview = CreatePreview(20, 16);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  parentLog.answer = control;
  control->Resample();
  control->Compose();

  SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  EXPECT_EQ(control->dragging, 1);
  EXPECT_EQ(GetCapture(), preview);
  EXPECT_EQ(control->lastX, 10);
  EXPECT_EQ(control->lastY, 10);
  SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, At(13, 12));
  SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, At(15, 13));
  EXPECT_EQ(control->dragDX, 5);
  EXPECT_EQ(control->dragDY, 3);
  EXPECT_EQ(control->lastX, 15);
  EXPECT_EQ(control->lastY, 13);
  // A move without the left button does not drag.
  SendMessageW(preview, WM_MOUSEMOVE, 0, At(30, 30));
  EXPECT_EQ(control->dragDX, 5);
  EXPECT_EQ(control->lastX, 15);

  Canvas canvas(20, 16);
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(12, 9), Rgb(100, 50, 7));
  EXPECT_EQ(canvas.At(17, 12), Rgb(105, 53, 7));
  EXPECT_EQ(canvas.At(18, 9), 0u);  // while dragging the whole bitmap moves, padding columns included
  EXPECT_EQ(canvas.At(11, 9), kBackground);
  EXPECT_EQ(canvas.At(12, 8), kBackground);
  EXPECT_EQ(canvas.At(7, 6), kBackground);
  EXPECT_EQ(parentLog.commands, 0);

  SendMessageW(preview, WM_LBUTTONUP, 0, At(15, 13));
  EXPECT_EQ(parentLog.commands, 1);
  EXPECT_EQ(LOWORD(parentLog.wParam), kPreviewId);
  EXPECT_EQ(HIWORD(parentLog.wParam), 0);
  EXPECT_EQ(parentLog.lParam, 0);
  EXPECT_EQ(parentLog.originXAtNotice, -5);
  EXPECT_EQ(parentLog.originYAtNotice, -3);
  EXPECT_EQ(control->originX, 0);
  EXPECT_EQ(control->originY, 0);
  EXPECT_EQ(control->dragDX, 0);
  EXPECT_EQ(control->dragDY, 0);
  EXPECT_EQ(control->dragging, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(control->panes[0].offsetX, 7);
  EXPECT_EQ(control->panes[0].offsetY, 6);
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(7, 6), Rgb(100, 50, 7));
  EXPECT_EQ(canvas.At(12, 9), Rgb(105, 53, 7));
}

TEST_F(PreviewContainerWindow, TheRightButtonCapturesWithoutPanning) {
  const HWND preview = CreatePreview(20, 16);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  SendMessageW(preview, WM_RBUTTONDOWN, MK_RBUTTON, At(4, 4));
  EXPECT_EQ(control->dragging, 1);
  EXPECT_EQ(GetCapture(), preview);
  SendMessageW(preview, WM_RBUTTONUP, 0, At(9, 9));
  EXPECT_EQ(control->dragging, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(control->originX, 0);
  EXPECT_EQ(parentLog.commands, 0);
}

TEST_F(PreviewContainerWindow, TransparencyShowsOverTheCheckerboard) {
  // 16 x 16 RGBA, colour (50, 60, 70) fully transparent, with three exceptions.
  std::vector<uint8_t> rows(16 * 16 * 4);
  for (size_t i = 0; i < rows.size(); i += 4) rows[i] = 50, rows[i + 1] = 60, rows[i + 2] = 70, rows[i + 3] = 0;
  auto pixel = [&](int x, int y) { return &rows[(y * 16 + x) * 4]; };
  uint8_t* halfOnDark = pixel(0, 0);
  halfOnDark[0] = 0, halfOnDark[1] = 0, halfOnDark[2] = 0, halfOnDark[3] = 128;
  uint8_t* halfOnLight = pixel(7, 0);
  halfOnLight[0] = 0, halfOnLight[1] = 0, halfOnLight[2] = 0, halfOnLight[3] = 128;
  uint8_t* opaque = pixel(3, 3);
  opaque[0] = 9, opaque[1] = 8, opaque[2] = 7, opaque[3] = 255;
  UseImage(rows, 16, 16, 4, kPngRgb, 4);
  const HWND preview = CreatePreview(16, 16);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  control->Resample();
  control->Compose();
  EXPECT_EQ(control->panes[0].offsetX, 0);
  EXPECT_EQ(control->panes[0].offsetY, 0);

  Canvas canvas(16, 16);
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(0, 0), Rgb(101, 101, 101));  // alpha 128 black over 204
  EXPECT_EQ(canvas.At(7, 0), Rgb(126, 126, 126));  // alpha 128 black over 255
  EXPECT_EQ(canvas.At(1, 0), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(6, 6), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(8, 1), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(0, 7), Rgb(255, 255, 255));
  EXPECT_EQ(canvas.At(7, 7), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(15, 15), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(3, 3), Rgb(9, 8, 7));
}

TEST_F(PreviewContainerWindow, APaletteImageInKeyColourModeIsEitherClearOrOpaque) {
  std::vector<uint8_t> rows = {0, 1, 2, 3};
  Palette.entries[0] = PaletteEntry{9, 9, 9, 0, 0};
  Palette.entries[1] = PaletteEntry{40, 50, 60, 100, 0};
  Palette.entries[2] = PaletteEntry{70, 80, 90, 255, 0};
  Palette.entries[3] = PaletteEntry{1, 2, 3, 0, 1};
  Palette.count = 4;
  UseImage(rows, 4, 1, 1, kPngPalette, 4);
  SaveOptions.alphaChannel = 0;
  SaveOptions.useKeyColor = 1;
  const HWND preview = CreatePreview(4, 1);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  control->Resample();
  control->Compose();

  Canvas canvas(4, 1);
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(0, 0), Rgb(204, 204, 204));
  EXPECT_EQ(canvas.At(1, 0), Rgb(40, 50, 60));
  EXPECT_EQ(canvas.At(2, 0), Rgb(70, 80, 90));
  EXPECT_EQ(canvas.At(3, 0), Rgb(204, 204, 204));

  // Without key colour nothing is transparent.
  SaveOptions.useKeyColor = 0;
  control->Resample();
  control->Compose();
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(0, 0), Rgb(9, 9, 9));
  EXPECT_EQ(canvas.At(3, 0), Rgb(1, 2, 3));
}

// 1000 x 3 RGB whose red byte is the column's low byte and green byte its high byte.
std::vector<uint8_t> WideImage() {
  std::vector<uint8_t> rows(1000 * 3 * 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 1000; ++x) {
      uint8_t* pixel = &rows[(y * 1000 + x) * 3];
      pixel[0] = static_cast<uint8_t>(x & 0xFF);
      pixel[1] = static_cast<uint8_t>(x >> 8);
      pixel[2] = 9;
    }
  }
  return rows;
}

TEST_F(PreviewContainerWindow, AWidthOf401ComposesA404WideBitmapButDraws401Columns) {
  std::vector<uint8_t> rows = WideImage();
  UseImage(rows, 1000, 3, 3, kPngRgb, 3);
  const HWND preview = CreatePreview(401, 3);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  control->Resample();
  control->Compose();
  EXPECT_EQ(control->viewWidth, 401);
  EXPECT_EQ(control->bitmapWidth, 404);
  EXPECT_EQ(control->bitmapHeight, 3);
  EXPECT_EQ(control->panes[0].offsetX, 0);
  ASSERT_TRUE(control->panes[0].bitmapPixels);
  const uint8_t* bitmapRows = control->panes[0].bitmapPixels.data();
  for (int row = 0; row < 3; ++row) {
    const uint8_t* last = bitmapRows + (row * 404 + 400) * 3;
    EXPECT_EQ(last[0], 9);    // blue
    EXPECT_EQ(last[1], 1);    // green: 400 >> 8
    EXPECT_EQ(last[2], 144);  // red: 400 & 255
    for (int column = 401; column < 404; ++column) {
      for (int byte = 0; byte < 3; ++byte) EXPECT_EQ(bitmapRows[(row * 404 + column) * 3 + byte], 0);
    }
  }

  Canvas canvas(410, 3);
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(0, 0), Rgb(0, 0, 9));
  EXPECT_EQ(canvas.At(400, 2), Rgb(144, 1, 9));
  EXPECT_EQ(canvas.At(401, 0), kSentinel);
}

TEST_F(PreviewContainerWindow, ADragPastTheRightEdgeStopsAtTheLastFullView) {
  std::vector<uint8_t> rows = WideImage();
  UseImage(rows, 1000, 3, 3, kPngRgb, 3);
  const HWND preview = CreatePreview(401, 3);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  parentLog.answer = control;
  control->Resample();
  control->Compose();

  SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, At(350, 1));
  SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, At(-350, 1));  // outside the control: negative x
  EXPECT_EQ(control->dragDX, -700);
  EXPECT_EQ(control->lastX, -350);
  SendMessageW(preview, WM_LBUTTONUP, 0, At(-350, 1));
  EXPECT_EQ(parentLog.commands, 1);
  EXPECT_EQ(parentLog.originXAtNotice, 700);
  EXPECT_EQ(control->originX, 1000 - 401);
  EXPECT_EQ(control->originY, 0);

  Canvas canvas(401, 3);
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(0, 0), Rgb(87, 2, 9));     // column 599
  EXPECT_EQ(canvas.At(400, 1), Rgb(231, 3, 9));  // column 999
}

TEST_F(PreviewContainerWindow, WithoutABitmapTheDiagonalsAreDrawn) {
  WholeImage._WholeWidth = 0;
  WholeImage._WholeHeight = 0;
  const HWND preview = CreatePreview(10, 10);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  control->Resample();
  control->Compose();
  EXPECT_FALSE(control->panes[0].bitmap);

  Canvas canvas(10, 10);
  canvas.PaintFrom(preview);
  EXPECT_EQ(canvas.At(0, 0), 0u);
  EXPECT_EQ(canvas.At(3, 3), 0u);
  EXPECT_EQ(canvas.At(8, 2), 0u);
  EXPECT_EQ(canvas.At(2, 8), 0u);
  EXPECT_EQ(canvas.At(5, 0), kBackground);
  EXPECT_EQ(canvas.At(0, 5), kBackground);
}

TEST_F(PreviewContainerWindow, FinalDestructionIsLogged) {
  const HWND preview = CreatePreview(10, 10);
  ASSERT_NE(preview, nullptr);
  DestroyWindow(preview);
  FILE* log = std::fopen("c:\\VexlorinLog.txt", "rb");
  ASSERT_NE(log, nullptr);
  std::string text;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, log)) > 0;) text.append(buffer, got);
  std::fclose(log);
  const std::string last = "PreviewWndProc WM_NCDESTROY\n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

TEST_F(PreviewContainerWindow, AtFitTheWholeImageIsAveragedIntoThePaneAndAt200EachPixelIsATwoByTwoBlock) {
  std::vector<uint8_t> rows = NumberedRgb(60, 40);
  UseImage(rows, 60, 40, 3, kPngRgb, 3);
  zoom_ = kFitZoom;
  const HWND preview = CreatePreview(30, 30);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  control->Resample();
  control->Compose();
  EXPECT_DOUBLE_EQ(control->scale, 0.5);
  Canvas canvas(30, 30);
  canvas.PaintFrom(preview);
  // 30 x 20, centred from row 5; each pixel the average of two by two (100.5 and 50.5 rounded up).
  EXPECT_EQ(canvas.At(0, 5), Rgb(101, 51, 7));
  EXPECT_EQ(canvas.At(29, 24), Rgb(159, 89, 7));
  EXPECT_EQ(canvas.At(0, 4), kBackground);
  EXPECT_EQ(canvas.At(29, 25), kBackground);

  control->ZoomTo(2000);
  EXPECT_EQ(control->zoom, 2000);
  // The image point in the middle stays there: image column 31 and row 21 at pane pixel 15.
  EXPECT_EQ((control->originX + 15) / 2, 31);
  EXPECT_EQ((control->originY + 15) / 2, 21);
  canvas.PaintFrom(preview);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      const int column = (control->originX + x) / 2;
      const int row = (control->originY + y) / 2;
      ASSERT_EQ(canvas.At(x, y), Rgb(100 + column, 50 + row, 7)) << x << "," << y;
    }
  }
}

TEST_F(PreviewContainerWindow, TwoUpShowsTheSamePartOfTheOriginalAndTheResultAndADragMovesBoth) {
  std::vector<uint8_t> rows = NumberedRgb(60, 80);
  UseImage(rows, 60, 80, 3, kPngRgb, 3);
  // The original: red falls and blue rises with the column, green 20 + row.
  std::vector<uint8_t> original(60 * 80 * 3);
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 60; ++x) {
      uint8_t* pixel = &original[(static_cast<size_t>(y) * 60 + x) * 3];
      pixel[0] = static_cast<uint8_t>(200 - x), pixel[1] = static_cast<uint8_t>(20 + y), pixel[2] = 90;
    }
  }
  const HWND preview = CreatePreview(80, 60);
  PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
  parentLog.answer = control;
  control->originalSource = [&original] {
    PreviewSource source = SharedPreviewSource();
    source.pixels = original.data();
    return source;
  };
  control->captions[0] = L"Original";
  control->captions[1] = L"Result";
  control->ShowView(kTwoUp);
  ASSERT_EQ(control->layout.count, 2);
  const PaneRect left = control->layout.panes[0];
  const PaneRect right = control->layout.panes[1];
  // Side by side, one size, the captions under them.
  EXPECT_EQ(left.x, 0);
  EXPECT_EQ(right.x, left.width + 8);
  EXPECT_EQ(right.width, left.width);
  EXPECT_EQ(right.y, 0);
  EXPECT_EQ(control->layout.captions[1].y, right.height);

  Canvas canvas(80, 60);
  auto expectSamePart = [&](int originX, int originY) {
    canvas.PaintFrom(preview);
    for (const POINT at : {POINT{0, 0}, POINT{7, 3}, POINT{left.width - 1, left.height - 1}}) {
      const int x = originX + at.x, y = originY + at.y;
      EXPECT_EQ(canvas.At(at.x, at.y), Rgb(200 - x, 20 + y, 90)) << at.x << "," << at.y;
      EXPECT_EQ(canvas.At(right.x + at.x, at.y), Rgb(100 + x, 50 + y, 7)) << at.x << "," << at.y;
    }
  };
  // The image point in the middle of the single pane (the image's top at 100 %) is in the middle of the first.
  EXPECT_EQ(control->originX + left.width / 2, 30);
  EXPECT_EQ(control->originY + left.height / 2, 30);
  const int originX = control->originX, originY = control->originY;
  expectSamePart(originX, originY);
  // Some text in each caption.
  for (int k = 0; k < 2; ++k) {
    const PaneRect& caption = control->layout.captions[k];
    int written = 0;
    for (int y = caption.y; y < caption.y + caption.height; ++y) {
      for (int x = caption.x; x < caption.x + caption.width; ++x) written += canvas.At(x, y) != kBackground;
    }
    EXPECT_GT(written, 10) << k;
  }

  // Dragged in the result's pane, both move.
  SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, At(right.x + 20, 20));
  SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, At(right.x + 15, 17));
  SendMessageW(preview, WM_LBUTTONUP, 0, At(right.x + 15, 17));
  EXPECT_EQ(control->originX, originX + 5);
  EXPECT_EQ(control->originY, originY + 3);
  expectSamePart(originX + 5, originY + 3);
}

TEST_F(PreviewContainerWindow, ZoomAndViewChangesLeaveOneBitmapPerPaneAndNothingAfterward) {
  std::vector<uint8_t> rows = NumberedRgb(300, 200);
  UseImage(rows, 300, 200, 3, kPngRgb, 3);
  Canvas canvas(120, 90);
  const int liveBefore = gdi::LiveObjects();
  HBITMAP bitmaps[2] = {};
  {
    const HWND preview = CreatePreview(120, 90);
    PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
    control->originalSource = SharedPreviewSource;
    for (const PreviewView view : {kTwoUp, kOneUp, kTwoUp}) {
      control->ShowView(view);
      for (const int32_t zoom : {kFitZoom, 125, 8000, 667, 1000}) {
        control->ZoomTo(zoom);
        canvas.PaintFrom(preview);
        EXPECT_EQ(gdi::LiveObjects(), liveBefore + (view == kTwoUp ? 2 : 1)) << zoom;
      }
    }
    bitmaps[0] = control->panes[0].bitmap.get();
    bitmaps[1] = control->panes[1].bitmap.get();
    DestroyWindow(preview);
  }
  EXPECT_EQ(gdi::LiveObjects(), liveBefore);
  for (HBITMAP bitmap : bitmaps) EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST_F(PreviewContainerWindow, ResampleComposeAndDestroyReleaseEverything) {
  std::vector<uint8_t> rows = NumberedRgb(30, 20);
  UseImage(rows, 30, 20, 3, kPngRgb, 3);
  Canvas canvas(20, 16);
  const int liveBefore = gdi::LiveObjects();
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  HBITMAP lastBitmap = nullptr;
  for (int round = 0; round < 100; ++round) {
    const HWND preview = CreatePreview(20, 16);
    ASSERT_NE(preview, nullptr);
    PreviewContainer* control = GetPreviewContainer(parent_, kPreviewId);
    control->Resample();
    control->Compose();
    control->Compose();  // a second compose replaces the bitmap
    canvas.PaintFrom(preview);
    ASSERT_TRUE(control->panes[0].bitmap);
    EXPECT_EQ(gdi::LiveObjects(), liveBefore + 1);
    lastBitmap = control->panes[0].bitmap.get();
    DestroyWindow(preview);
  }
  EXPECT_EQ(gdi::LiveObjects(), liveBefore);
  EXPECT_EQ(GetObjectType(lastBitmap), 0u);
  if (gdiBefore == 0) {
    std::printf("GetGuiResources is not implemented here: the GDI and USER handle counts are not compared\n");
  } else {
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
  }
}

}  // namespace
