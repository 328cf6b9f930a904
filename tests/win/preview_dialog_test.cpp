// The real preview dialog, modeless on the test's thread, with its refreshes on their own thread: the test sends
// the panel commands as clicks would and, where it waits, waits on the dialog's messages (GetMessage), never on
// the clock. Between a change and the next pumped message a refresh is certain to be still running, so Save and
// Cancel can be pressed during one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/callouts.h"
#include "base/platform.h"
#include "png/png_writer.h"
#include "png/size_text.h"
#include "records/color_map.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/filter_settings.h"
#include "reduce/picture_psnr.h"
#include "reduce/reduce_filter.h"
#include "resources/resource_ids.h"
#include "tests/support/platform_faults.h"
#include "ui/panel_commands.h"
#include "ui/preview_dialog_win32.h"
#include "ui/psnr_readout.h"
#include "ui/refreshing_property.h"
#include "ui/toolkit_session_win32.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/gdi_shared_win32.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FileBytes(const platform::WidePath& path) {
  std::ifstream file(reinterpret_cast<const wchar_t*>(path.c_str()), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const platform::WidePath& path) {
  return GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str())) != INVALID_FILE_ATTRIBUTES;
}

// The changes a user makes, as panel controls.
struct Change {
  int id;
  int listIndex;  // for the two lists; -1 for a button
};

class PreviewDialogWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    folder_ = reinterpret_cast<const char16_t*>(folder);
    folder_ += u"preview_dialog_test\\";
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(folder_.c_str()), nullptr);
    TempPngPath = folder_ + u"out.png.temp";
    PluginDir = folder_;
    // Large enough that a refresh takes many rows, small enough to stay quick: colours, noise, a clear corner.
    const int32_t width = 240;
    const int32_t height = 180;
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    image_ = static_cast<uint8_t*>(platform::AllocatePages(bytes));
    ASSERT_NE(image_, nullptr);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        uint8_t* pixel = image_ + (static_cast<size_t>(y) * width + x) * 4;
        noise = noise * 1103515245u + 12345u;
        pixel[0] = static_cast<uint8_t>(x + (noise >> 28));
        pixel[1] = static_cast<uint8_t>(y + (noise >> 24 & 15));
        pixel[2] = static_cast<uint8_t>((x + y) / 2);
        pixel[3] = x < 20 && y < 20 ? 0 : 255;
      }
    }
    imageBytes_ = bytes;
    Reset();
  }

  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    ReleaseColorMap();
    FreeReducedImagePixels();
    ReducedImage = ReducedImageRecord{};
    WholeImage = WholeImageRecord{};
    platform::FreePages(image_, imageBytes_);
    for (const char16_t* name : {u"out.png.temp", u"out.png.temp.next", u"expected.png", u"Vexlorin.ini"}) {
      platform::DeleteFilePath(folder_ + name);
    }
    RemoveDirectoryW(reinterpret_cast<const wchar_t*>(folder_.c_str()));
    Callouts = CalloutSlots{};
  }

  // The records as a save leaves them before its dialog: the image, the options, the first reduction.
  void Reset() {
    WholeImage = WholeImageRecord{};
    WholeImage.pixels = image_;
    WholeImage.pixelBytes = imageBytes_;
    WholeImage._WholeWidth = 240;
    WholeImage._WholeHeight = 180;
    WholeImage._WholePlanesIn = 4;
    WholeImage.rowStride = 240 * 4;
    WholeImage._WholeMode = kWholeRgb;
    WholeImage.MinAlpha = 0;
    ResetSaveOptions();
    SaveOptions.pngType = kPngPalette;
    Palette = PaletteRecord{};
    ReleaseColorMap();
    FreeReducedImagePixels();
    ReducedImage = ReducedImageRecord{};
    LastCompressedSize = 0;
    DoFilter();
  }

  // The PNG the same changes give when made on the records directly, one after the other, as a save without
  // the dialog would reduce and encode.
  Bytes Expected(const std::function<void()>& changes) {
    Reset();
    changes();
    DoFilter();
    const platform::WidePath saved = TempPngPath;
    TempPngPath = folder_ + u"expected.png";
    CompressPNG();
    const Bytes png = FileBytes(TempPngPath);
    TempPngPath = saved;
    Reset();
    return png;
  }

  void Open() {
    dialog_ = CreateDialogParamW(shared::ResourceModule(), MAKEINTRESOURCEW(IDD_PREVIEW_DIALOG), nullptr, DissolveProc,
                                 reinterpret_cast<LPARAM>(&owner_));
    ASSERT_NE(dialog_, nullptr);
    for (HWND child = FindWindowExW(dialog_, nullptr, L"#32770", nullptr); child != nullptr;
         child = FindWindowExW(dialog_, child, L"#32770", nullptr)) {
      if (GetDlgItem(child, IDOK) != nullptr) panel_ = child;
    }
    ASSERT_NE(panel_, nullptr);
    ShowWindow(dialog_, SW_SHOW);
  }

  bool Refreshing() const { return GetPropW(dialog_, kRefreshingProperty) != nullptr; }

  // Handles the dialog's messages, waiting for each, until `done`.
  void PumpUntil(const std::function<bool()>& done) {
    while (!done()) {
      MSG message;
      if (GetMessageW(&message, nullptr, 0, 0) <= 0) return;
      if (!IsDialogMessageW(dialog_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
  void PumpUntilIdle() {
    PumpUntil([this] { return !Refreshing(); });
  }

  void Make(const Change& change) {
    const HWND control = GetDlgItem(panel_, change.id);
    ASSERT_NE(control, nullptr) << change.id;
    if (change.listIndex < 0) {
      SendMessageW(control, BM_CLICK, 0, 0);
    } else {
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(change.listIndex), 0);
      SendMessageW(panel_, WM_COMMAND, MAKEWPARAM(change.id, CBN_SELENDOK), reinterpret_cast<LPARAM>(control));
    }
  }

  // Save and Cancel are the toolkit's own buttons: their command, as they send it to the panel.
  void Press(int button) {
    SendMessageW(panel_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(panel_, button)));
  }
  void Click(int button) { SendMessageW(GetDlgItem(panel_, button), BM_CLICK, 0, 0); }

  // Closed by EndDialog: a modeless dialog is hidden, and destroyed here as the modal loop would.
  void CloseWhenEnded() {
    PumpUntil([this] { return !IsWindowVisible(dialog_); });
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }

  ToolkitSession session_;
  PreviewDialog owner_{session_};  // the dialog's object, made in the session; TearDown destroys the window first
  platform::WidePath folder_;
  uint8_t* image_ = nullptr;
  size_t imageBytes_ = 0;
  HWND dialog_ = nullptr;
  HWND panel_ = nullptr;
};

// Palette, 16 colours, No Dither, then RGB, then back to Palette with Pattern: the refreshes these start
// overtake each other.
const Change kChanges[] = {
    {IDC_PANEL_COLORS, 4}, {IDC_PANEL_DITHER, 0}, {IDC_PANEL_RGB, -1}, {IDC_PANEL_PALETTE, -1}, {IDC_PANEL_DITHER, 2}};
void SameChangesOnTheRecords() {
  SaveOptions.paletteColors = 16;
  Palette.built = 0;
  Palette.builtCount = Palette.count;
  SaveOptions.dither = kPattern;
}

TEST_F(PreviewDialogWindow, OpensAtOnceAndEncodesBehindIt) {
  const Bytes expected = Expected([] {});
  Open();
  EXPECT_TRUE(Refreshing());  // the first encoding runs while the dialog is already there
  PumpUntilIdle();
  EXPECT_EQ(FileBytes(TempPngPath), expected);
  EXPECT_EQ(LastCompressedSize, static_cast<int32_t>(expected.size()));
}

TEST_F(PreviewDialogWindow, TheStatusLineShowsTheSizeOfTheFinishedEncoding) {
  Open();
  PumpUntilIdle();
  const HWND statusLine = FindWindowExW(dialog_, nullptr, L"Static", nullptr);
  ASSERT_NE(statusLine, nullptr);
  wchar_t shown[256] = {};
  GetWindowTextW(statusLine, shown, 256);
  ASSERT_GT(LastCompressedSize, 0);
  const std::string line = FileSizeLine(int64_t{240} * 180 * 4, LastCompressedSize);
  EXPECT_EQ(std::wstring(shown), std::wstring(line.begin(), line.end()));
}

TEST_F(PreviewDialogWindow, ChangesInQuickSuccessionEndWithTheFileOfTheLastState) {
  const Bytes expected = Expected(SameChangesOnTheRecords);
  Open();
  PumpUntilIdle();
  for (const Change& change : kChanges) Make(change);  // no message pumped between: each overtakes the last
  EXPECT_TRUE(Refreshing());
  PumpUntilIdle();
  EXPECT_EQ(FileBytes(TempPngPath), expected);
  EXPECT_FALSE(Exists(TempPngPath + u".next"));
}

TEST_F(PreviewDialogWindow, SaveDuringARefreshWaitsForItAndLeavesItsFileLeakingNothing) {
  const Bytes expected = Expected(SameChangesOnTheRecords);
  const int gdiBefore = gdi::LiveObjects();
  const int32_t blocksBefore = faults::LivePageBlocks();
  Open();
  PumpUntilIdle();
  for (const Change& change : kChanges) Make(change);
  Press(IDOK);
  EXPECT_TRUE(IsWindowVisible(dialog_));  // not before the refresh is over
  CloseWhenEnded();
  EXPECT_EQ(FileBytes(TempPngPath), expected);
  EXPECT_EQ(LastCompressedSize, static_cast<int32_t>(expected.size()));
  EXPECT_FALSE(Exists(TempPngPath + u".next"));
  EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
  EXPECT_EQ(faults::LivePageBlocks(), blocksBefore);
}

TEST_F(PreviewDialogWindow, CancelDuringARefreshClosesAtOnceLeavingNoFileAndLeakingNothing) {
  const int gdiBefore = gdi::LiveObjects();
  const int32_t blocksBefore = faults::LivePageBlocks();
  Open();
  PumpUntilIdle();
  const Bytes opened = FileBytes(TempPngPath);
  for (const Change& change : kChanges) Make(change);
  Press(IDCANCEL);
  EXPECT_FALSE(IsWindowVisible(dialog_));  // no waiting for the refresh
  DestroyWindow(dialog_);                  // stops the refresh and waits for its thread
  dialog_ = nullptr;
  EXPECT_FALSE(Exists(TempPngPath + u".next"));
  EXPECT_EQ(FileBytes(TempPngPath), opened);  // the save deletes it after Cancel; no refresh replaced it
  EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
  EXPECT_EQ(faults::LivePageBlocks(), blocksBefore);
}

// The compression changes the file, never the picture: the rows shown are encoded again, not made again.
TEST_F(PreviewDialogWindow, ACompressionChoiceEncodesTheRowsShownAgainWithoutReducing) {
  const Bytes expected = Expected([] { SaveOptions.compression = kSmallestCompression; });
  Open();
  PumpUntilIdle();
  const uint8_t* rows = ReducedImage.pixels;  // a reduction publishes rows of a buffer of its own
  Make({IDC_PANEL_COMPRESSION, 1});
  EXPECT_TRUE(Refreshing());
  PumpUntilIdle();
  EXPECT_EQ(ReducedImage.pixels, rows);
  EXPECT_EQ(Palette.built, 1);
  EXPECT_EQ(FileBytes(TempPngPath), expected);
  EXPECT_EQ(LastCompressedSize, static_cast<int32_t>(expected.size()));
}

// Chosen while the refresh of an earlier change runs, the compression loses none of that change.
TEST_F(PreviewDialogWindow, ACompressionChoiceDuringARefreshKeepsTheChangeBeforeIt) {
  const Bytes expected = Expected([] {
    SaveOptions.paletteColors = 16;
    Palette.built = 0;
    Palette.builtCount = Palette.count;
    SaveOptions.compression = kSmallestCompression;
  });
  Open();
  PumpUntilIdle();
  Make({IDC_PANEL_COLORS, 4});
  Make({IDC_PANEL_COMPRESSION, 1});  // no message pumped between: the reduction's rows are not yet published
  PumpUntilIdle();
  EXPECT_EQ(FileBytes(TempPngPath), expected);
  EXPECT_EQ(ReducedImage.width, 240);
  EXPECT_EQ(Palette.count, 16);
}

// The readout beside the size line: the PSNR of the file's picture (the rows through the palette) against the image.
std::wstring ExpectedReadout() {
  const double db = PictureDb(WholeImage, FilterSettingsFor(WholeImage, SaveOptions), Palette, ReducedImage.pixels,
                              ReducedImage.rowBytes);
  const std::string text = "\n\r" + PsnrReadoutText(db);
  return std::wstring(text.begin(), text.end());
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// A quality picked from its list chooses the count: the file is the one the records make with that quality, the
// Colors list is disabled and shows the count chosen, and the readout measures the file. A change of dither then
// chooses again.
TEST_F(PreviewDialogWindow, AQualityChoosesTheCountTheColorsListShowsAndTheReadoutMeasures) {
  const auto quality = [] {
    SaveOptions.paletteQuality = 10;
    Palette.built = 0;
    Palette.builtCount = 256;
  };
  const Bytes expected = Expected(quality);
  const Bytes expectedNoDither = Expected([&quality] {
    quality();
    SaveOptions.dither = kNoDither;
  });
  Open();
  PumpUntilIdle();
  const HWND readout = GetDlgItem(FindWindowExW(dialog_, nullptr, L"Static", nullptr), IDC_PSNR_READOUT);
  ASSERT_NE(readout, nullptr);
  EXPECT_TRUE(IsWindowVisible(readout));
  EXPECT_EQ(WindowText(readout), ExpectedReadout());
  const HWND colors = GetDlgItem(panel_, IDC_PANEL_COLORS);
  EXPECT_TRUE(IsWindowEnabled(colors));

  Make({IDC_PANEL_QUALITY, 13});           // the list's last entry, 10
  EXPECT_FALSE(IsWindowVisible(readout));  // it speaks of the file being replaced
  PumpUntilIdle();
  EXPECT_EQ(SaveOptions.paletteQuality, 10);
  EXPECT_EQ(FileBytes(TempPngPath), expected);
  EXPECT_LT(Palette.count, 256);
  EXPECT_FALSE(IsWindowEnabled(colors));
  EXPECT_EQ(WindowText(colors), std::to_wstring(Palette.count));
  EXPECT_TRUE(IsWindowVisible(readout));
  EXPECT_EQ(WindowText(readout), ExpectedReadout());

  Make({IDC_PANEL_DITHER, 0});
  PumpUntilIdle();
  EXPECT_EQ(FileBytes(TempPngPath), expectedNoDither);
  EXPECT_EQ(WindowText(colors), std::to_wstring(Palette.count));

  Make({IDC_PANEL_QUALITY, 0});  // Off: the Colors list's count again
  PumpUntilIdle();
  EXPECT_TRUE(IsWindowEnabled(colors));
  EXPECT_EQ(WindowText(colors), L"256");
  EXPECT_EQ(Palette.count, 256);
}

TEST_F(PreviewDialogWindow, ALockDoesNotRefreshButEveryOtherPaletteCommandDoes) {
  Open();
  PumpUntilIdle();
  SendMessageW(panel_, WM_COMMAND, MAKEWPARAM(kFirstCellId, BN_CLICKED), 1);  // select entry 0
  Click(IDC_PANEL_LOCK);
  EXPECT_FALSE(Refreshing());
  Click(IDC_PANEL_TRANSPARENT);
  EXPECT_TRUE(Refreshing());
  PumpUntilIdle();
  EXPECT_EQ(Palette.entries[0].mark, 1);
  Click(IDC_PANEL_ALPHA_CHANNEL);
  EXPECT_TRUE(Refreshing());
  PumpUntilIdle();
  EXPECT_EQ(Palette.built, 1);  // the reduction has built the palette the command asked for
}

}  // namespace
