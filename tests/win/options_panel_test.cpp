// The real options panel inside a parent window: its template, the lists and tooltips, the palette view in its
// group, the bitmap buttons, and the command table driven through the panel's messages. Refreshes are counted
// through the panel's refresh hook, which also records what the controls showed at that moment, and encodings
// alone through its encoding hook.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/callouts.h"
#include "base/debug_log.h"
#include "base/platform.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/median_cut.h"
#include "resources/resource_ids.h"
#include "tests/win/toolkit_test_support.h"
#include "ui/options_panel_win32.h"
#include "ui/palette_view_win32.h"
#include "ui/preview_dialog_win32.h"
#include "ui/toolkit_session_win32.h"
#include "widgets/artwork_scale.h"
#include "widgets/bitmap_check_button_win32.h"
#include "widgets/color_swatch_win32.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/mac_style_button_win32.h"

namespace {

const wchar_t kParentClass[] = L"Options Panel Test Parent";

// Commands the parent received, in order; posted ones arrive only when the test pumps messages.
std::vector<std::pair<WPARAM, LPARAM>> parentCommands;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    parentCommands.emplace_back(wParam, lParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

using toolkit_test::PumpMessages;

// What the panel showed when it asked for a refresh.
struct RefreshSnapshot {
  uint8_t built = 0;
  int32_t builtCount = 0;
  int32_t shownCount = 0;
  int32_t selected = 0;
  bool colorsEnabled = false;
  bool paletteChecked = false;
  bool rgbChecked = false;
  bool alphaChecked = false;
};
std::vector<RefreshSnapshot> refreshes;
HWND watchedPanel = nullptr;

void RecordRefresh() {
  RefreshSnapshot snapshot;
  snapshot.built = Palette.built;
  snapshot.builtCount = Palette.builtCount;
  snapshot.shownCount = PaletteView.shownCount;
  snapshot.selected = PaletteView.selected;
  snapshot.colorsEnabled = IsWindowEnabled(GetDlgItem(watchedPanel, IDC_PANEL_COLORS)) != FALSE;
  snapshot.paletteChecked = IsDlgButtonChecked(watchedPanel, IDC_PANEL_PALETTE) == BST_CHECKED;
  snapshot.rgbChecked = IsDlgButtonChecked(watchedPanel, IDC_PANEL_RGB) == BST_CHECKED;
  snapshot.alphaChecked = IsDlgButtonChecked(watchedPanel, IDC_PANEL_ALPHA_CHANNEL) == BST_CHECKED;
  refreshes.push_back(snapshot);
}

// What the panel asked for when it wanted the rows shown encoded again: the palette's built flag at that moment.
std::vector<uint8_t> encodings;
void RecordEncoding() { encodings.push_back(Palette.built); }

uint32_t pickedColor = 0;
ColorPick TestPicker(uint32_t, uint32_t* picked) {
  *picked = pickedColor;
  return ColorPick::kPicked;
}

bool Shown(const ColorSwatch* cell) { return (GetWindowLongPtrW(cell->window, GWL_STYLE) & WS_VISIBLE) != 0; }

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

std::wstring ListText(HWND combo, int index) {
  wchar_t text[64] = {};
  if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= 64) return L"?";
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

BOOL CALLBACK CollectTooltip(HWND window, LPARAM found) {
  if (lstrcmpiW(ClassOf(window).c_str(), TOOLTIPS_CLASSW) == 0) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

// The tooltip texts of this thread, by the control they belong to.
std::map<HWND, std::wstring> TooltipTexts() {
  std::vector<HWND> tooltips;
  EnumThreadWindows(GetCurrentThreadId(), &CollectTooltip, reinterpret_cast<LPARAM>(&tooltips));
  std::map<HWND, std::wstring> texts;
  for (HWND tooltip : tooltips) {
    const int tools = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < tools; ++i) {
      wchar_t text[256] = {};
      TOOLINFOW tool{};
      tool.cbSize = TTTOOLINFOW_V2_SIZE;
      tool.lpszText = text;
      if (SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool))) texts[tool.hwnd] = text;
    }
  }
  return texts;
}

// One control of a DIALOGEX template as the resource holds it.
struct TemplateItem {
  DWORD style = 0;
  int id = 0;
};

// The font, style and controls of dialog template `id` in this program's resources.
struct DialogTemplate {
  DWORD style = 0;
  int pointSize = 0;
  std::wstring typeface;
  std::vector<TemplateItem> items;
};

const WORD* SkipSizeOrOrdinal(const WORD* at) {
  if (*at == 0xFFFF) return at + 2;
  while (*at != 0) ++at;
  return at + 1;
}

DialogTemplate ReadDialogTemplate(int id) {
  DialogTemplate result;
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
  if (found == nullptr) return result;
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  if (bytes == nullptr) return result;
  // DLGTEMPLATEEX: version, signature, help id, extended style, style, item count, x, y, cx, cy.
  DWORD style = 0;
  WORD count = 0;
  std::memcpy(&style, bytes + 12, sizeof style);
  std::memcpy(&count, bytes + 16, sizeof count);
  result.style = style;
  const WORD* at = reinterpret_cast<const WORD*>(bytes + 26);
  at = SkipSizeOrOrdinal(at);  // menu
  at = SkipSizeOrOrdinal(at);  // class
  at = SkipSizeOrOrdinal(at);  // title
  result.pointSize = at[0];
  at += 3;  // point size, weight, italic and character set
  result.typeface = reinterpret_cast<const wchar_t*>(at);
  at = SkipSizeOrOrdinal(at);
  for (WORD i = 0; i < count; ++i) {
    // Items start on a DWORD: help id, extended style, style, x, y, cx, cy, id, class, title, extra bytes.
    auto address = reinterpret_cast<uintptr_t>(at);
    at = reinterpret_cast<const WORD*>((address + 3) & ~uintptr_t{3});
    TemplateItem item;
    std::memcpy(&item.style, reinterpret_cast<const BYTE*>(at) + 8, sizeof item.style);
    int32_t itemId = 0;
    std::memcpy(&itemId, reinterpret_cast<const BYTE*>(at) + 20, sizeof itemId);
    item.id = itemId;
    at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at) + 24);
    at = SkipSizeOrOrdinal(at);
    at = SkipSizeOrOrdinal(at);
    const WORD extra = *at;
    at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at + 1) + extra);
    result.items.push_back(item);
  }
  return result;
}

class OptionsPanelWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    session_ = new ToolkitSession();
    ASSERT_TRUE(toolkit_test::RegisterParentClass(kParentClass, ParentProc));
  }
  static void TearDownTestSuite() {
    toolkit_test::UnregisterParentClass(kParentClass);
    delete session_;
    session_ = nullptr;
  }

  void SetUp() override {
    // The process's first log line empties the log: written now, the counts below see this test's lines only.
    DebugLog("test set-up");
    optionsBefore_ = SaveOptions;
    paletteBefore_ = Palette;
    wholeBefore_ = WholeImage;
    refreshes.clear();
    encodings.clear();
    parentCommands.clear();
    Callouts.pickColor = &TestPicker;
    // An RGB image with alpha saved as a 32-colour palette with a key colour: every control has a use.
    WholeImage = WholeImageRecord{};
    WholeImage._WholeMode = 3;
    WholeImage._WholePlanesIn = 4;
    ResetSaveOptions();
    SaveOptions.pngType = kPngPalette;
    SaveOptions.paletteColors = 32;
    SaveOptions.alphaChannel = 0;
    SaveOptions.useKeyColor = 1;
    SaveOptions.dither = kDiffusion;
    SaveOptions.keyColorDither = 0;
    SaveOptions.fillColor = 0x00102030;
    Palette = PaletteRecord{};
    Palette.count = 32;
    Palette.builtCount = 32;
    Palette.built = 1;
    for (int i = 0; i < 256; ++i) {
      Palette.entries[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7, 255, 0};
    }
    Palette.entries[31].alpha = 0;  // the key colour sits in the last entry
    PaletteView.selected = -1;
    parent_ = toolkit_test::CreateParentWindow(kParentClass, 400, 700);
    ASSERT_NE(parent_, nullptr);
  }

  void TearDown() override {
    if (parent_ != nullptr) DestroyWindow(parent_);
    PaletteView.ReleaseAll();
    PumpMessages();
    Callouts.pickColor = nullptr;
    watchedPanel = nullptr;
    SaveOptions = optionsBefore_;
    Palette = paletteBefore_;
    WholeImage = wholeBefore_;
  }

  void CreatePanel() {
    panel_ = CreateOptionsPanel(parent_, {&RecordRefresh, {}, &RecordEncoding}, session_->DialogFont());
    ASSERT_NE(panel_, nullptr);
    watchedPanel = panel_;
    panelObject_ = GetOptionsPanel(panel_);
    ASSERT_NE(panelObject_, nullptr);
  }

  HWND Item(int id) const { return GetDlgItem(panel_, id); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  bool Checked(int id) const { return IsDlgButtonChecked(panel_, id) == BST_CHECKED; }
  void Command(int id, int notification, LPARAM extra) {
    SendMessageW(panel_, WM_COMMAND, MAKEWPARAM(id, notification), extra);
  }
  void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
  void ClickCell(int index) { Command(kFirstCellId + index, 0, 1); }
  void ChooseFromList(int id, int index, int notification = CBN_SELENDOK) {
    SendMessageW(Item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(id, notification, reinterpret_cast<LPARAM>(Item(id)));
  }
  HBITMAP ImageOf(int id) const {
    return reinterpret_cast<HBITMAP>(SendMessageW(Item(id), BM_GETIMAGE, IMAGE_BITMAP, 0));
  }

  static ToolkitSession* session_;
  HWND parent_ = nullptr;
  HWND panel_ = nullptr;
  OptionsPanel* panelObject_ = nullptr;
  SaveOptionsRecord optionsBefore_;
  PaletteRecord paletteBefore_;
  WholeImageRecord wholeBefore_;
};

ToolkitSession* OptionsPanelWindow::session_ = nullptr;

TEST_F(OptionsPanelWindow, TemplateHoldsEveryControlWithItsClassStylePlaceAndText) {
  CreatePanel();
  struct Control {
    int id;
    const wchar_t* className;
    DWORD type;  // BS_TYPEMASK part for buttons, CBS_DROPDOWNLIST for combo boxes, ~0 for none
    const wchar_t* text;
    RECT units;  // left, top, width, height in dialog units
  };
  const Control controls[] = {
      {1, L"MacStyleBtn", ~0u, nullptr, {40, 6, 84, 14}},
      {2, L"MacStyleBtn", ~0u, nullptr, {40, 24, 84, 14}},
      {1002, L"Button", BS_AUTORADIOBUTTON, L"Grayscale", {16, 54, 47, 10}},
      {1003, L"Button", BS_AUTORADIOBUTTON, L"Palette", {16, 68, 50, 10}},
      {1004, L"Button", BS_AUTORADIOBUTTON, L"RGB", {16, 82, 47, 10}},
      {1006, L"ComboBox", CBS_DROPDOWNLIST, nullptr, {71, 67, 50, 100}},
      {1007, L"Static", ~0u, L"Colors", {123, 68, 24, 8}},
      {1021, L"Button", BS_AUTOCHECKBOX, L"Refine Palette", {71, 82, 76, 10}},
      {1028, L"Button", BS_AUTOCHECKBOX, L"16 Bits/Channel", {16, 95, 76, 10}},
      {1005, L"Button", BS_AUTOCHECKBOX, L"Alpha Channel", {16, 112, 63, 10}},
      {1008, L"Contaner Color CPP", ~0u, nullptr, {81, 110, 22, 14}},
      {1009, L"Static", ~0u, L"Fill Color", {107, 113, 40, 8}},
      {1013, L"Button", BS_AUTOCHECKBOX, L"Transparency as Key Color", {16, 127, 109, 10}},
      {1010, L"ComboBox", CBS_DROPDOWNLIST, nullptr, {16, 143, 50, 100}},
      {1012, L"Static", ~0u, L"Dither", {69, 145, 24, 8}},
      {1019, L"Button", BS_AUTOCHECKBOX, L"Transparency Dither", {16, 161, 98, 10}},
      {1022, L"ComboBox", CBS_DROPDOWNLIST, nullptr, {16, 172, 50, 100}},
      {1023, L"Static", ~0u, L"Compression", {69, 174, 48, 8}},
      {1024, L"ComboBox", CBS_DROPDOWNLIST, nullptr, {71, 53, 50, 100}},
      {1025, L"Static", ~0u, L"Quality", {123, 54, 28, 8}},
      {1026, L"Button", BS_AUTOCHECKBOX, L"Metadata", {100, 144, 52, 10}},
      {1027, L"Button", BS_AUTOCHECKBOX, L"Convert to sRGB", {16, 187, 80, 10}},
      {1001, L"Button", BS_GROUPBOX, L"Palette", {7, 199, 150, 164}},
      {1020, L"Button", BS_GROUPBOX, L"", {12, 335, 140, 25}},
      {1018, L"Button", BS_CHECKBOX, L"", {111, 343, 14, 12}},
      {1017, L"Button", BS_CHECKBOX, L"", {129, 343, 14, 12}},
  };
  for (const Control& control : controls) {
    SCOPED_TRACE(testing::Message() << "control " << control.id);
    const HWND window = Item(control.id);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(lstrcmpiW(ClassOf(window).c_str(), control.className), 0);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    if (lstrcmpiW(control.className, L"Button") == 0) {
      EXPECT_EQ(style & BS_TYPEMASK, control.type);
    }
    if (lstrcmpiW(control.className, L"ComboBox") == 0) {
      EXPECT_EQ(style & 3u, control.type);
    }
    if (control.text != nullptr) {
      EXPECT_EQ(TextOf(window), control.text);
    }
    // Position and size are converted each on its own, as the dialog manager does.
    RECT mapped = control.units;
    MapDialogRect(panel_, &mapped);
    const RECT expected{mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
    RECT actual{};
    GetWindowRect(window, &actual);
    MapWindowPoints(nullptr, panel_, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    // A combo box's window is its closed height; the template's height is the dropped list's.
    if (lstrcmpiW(control.className, L"ComboBox") != 0) {
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
  }
  for (int id : {1017, 1018}) {
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Item(id), GWL_STYLE));
    EXPECT_NE(style & BS_PUSHLIKE, 0u) << id;
    EXPECT_NE(style & BS_BITMAP, 0u) << id;
  }
  // The "PNG Type" frame has no id of its own.
  HWND frame = FindWindowExW(panel_, nullptr, L"Button", L"PNG Type");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(GetDlgCtrlID(frame), -1);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(frame, GWL_STYLE)) & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));

  const auto* save = GetControl<MacStyleBtn>(panel_, IDOK, kMacStyleBtnClass);
  const auto* cancel = GetControl<MacStyleBtn>(panel_, IDCANCEL, kMacStyleBtnClass);
  ASSERT_NE(save, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(save->caption, u"OK");
  EXPECT_EQ(save->isDefault, 1);
  EXPECT_EQ(cancel->caption, u"Cancel");
  EXPECT_EQ(cancel->isDefault, 0);
  EXPECT_NE(GetColorSwatch(panel_, IDC_PANEL_FILL_COLOR), nullptr);
}

TEST(OptionsPanelTemplate, IsAVisibleChildInMsShellDlgWithScrollingDropDownLists) {
  const DialogTemplate panel = ReadDialogTemplate(IDD_OPTIONS_PANEL);
  EXPECT_EQ(panel.pointSize, 8);
  EXPECT_EQ(panel.typeface, L"MS Shell Dlg");
  EXPECT_NE(panel.style & WS_CHILD, 0u);
  EXPECT_NE(panel.style & WS_VISIBLE, 0u);
  EXPECT_EQ(panel.style & WS_POPUP, 0u);
  ASSERT_EQ(panel.items.size(), 27u);  // every control of the table, the unnamed frame included
  int combos = 0;
  for (const TemplateItem& item : panel.items) {
    if (item.id != IDC_PANEL_COLORS && item.id != IDC_PANEL_DITHER && item.id != IDC_PANEL_COMPRESSION &&
        item.id != IDC_PANEL_QUALITY) {
      continue;
    }
    ++combos;
    EXPECT_EQ(item.style & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST)) << item.id;
    EXPECT_NE(item.style & WS_VSCROLL, 0u) << item.id;
  }
  EXPECT_EQ(combos, 4);
  EXPECT_EQ(panel.items[2].id, -1);
}

TEST_F(OptionsPanelWindow, ListsHoldTheirEntriesInTheDialogFont) {
  CreatePanel();
  const HWND colors = Item(IDC_PANEL_COLORS);
  const wchar_t* counts[] = {L"256", L"128", L"64", L"32", L"16", L"8", L"4", L"2"};
  ASSERT_EQ(SendMessageW(colors, CB_GETCOUNT, 0, 0), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ListText(colors, i), counts[i]) << i;
  const HWND dither = Item(IDC_PANEL_DITHER);
  const wchar_t* methods[] = {L"No Dither", L"Diffusion", L"Pattern", L"Noise"};
  ASSERT_EQ(SendMessageW(dither, CB_GETCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ListText(dither, i), methods[i]) << i;
  ASSERT_NE(session_->DialogFont(), nullptr);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(colors, WM_GETFONT, 0, 0)), session_->DialogFont());
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(dither, WM_GETFONT, 0, 0)), session_->DialogFont());
  EXPECT_EQ(SendMessageW(colors, CB_GETCURSEL, 0, 0), 3);  // 32
  EXPECT_EQ(SendMessageW(dither, CB_GETCURSEL, 0, 0), 1);  // Diffusion
  const HWND compression = Item(IDC_PANEL_COMPRESSION);
  ASSERT_EQ(SendMessageW(compression, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ListText(compression, 0), L"Standard");
  EXPECT_EQ(ListText(compression, 1), L"Smallest");
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(compression, WM_GETFONT, 0, 0)), session_->DialogFont());
  EXPECT_EQ(SendMessageW(compression, CB_GETCURSEL, 0, 0), 0);  // Standard
  const HWND quality = Item(IDC_PANEL_QUALITY);
  ASSERT_EQ(SendMessageW(quality, CB_GETCOUNT, 0, 0), 14);
  EXPECT_EQ(ListText(quality, 0), L"Off");
  EXPECT_EQ(ListText(quality, 1), L"100");
  EXPECT_EQ(ListText(quality, 13), L"10");
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(quality, WM_GETFONT, 0, 0)), session_->DialogFont());
  EXPECT_EQ(SendMessageW(quality, CB_GETCURSEL, 0, 0), 0);  // Off
}

TEST_F(OptionsPanelWindow, EveryListTakesTheFontMadeForANewScale) {
  CreatePanel();
  const gdi::FontOwner scaled(CreateFontW(-26, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
  ASSERT_NE(scaled.get(), nullptr);
  panelObject_->TakeListFont(scaled.get());
  for (int id : {IDC_PANEL_COLORS, IDC_PANEL_DITHER, IDC_PANEL_COMPRESSION}) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(Item(id), WM_GETFONT, 0, 0)), scaled.get()) << id;
  }
  panelObject_->TakeListFont(session_->DialogFont());  // before the font goes
}

TEST_F(OptionsPanelWindow, SaveCancelRefinePaletteAndCompressionHaveTooltipsTheEntryButtonsNone) {
  CreatePanel();
  const std::map<HWND, std::wstring> texts = TooltipTexts();
  ASSERT_EQ(texts.count(Item(IDOK)), 1u);
  ASSERT_EQ(texts.count(Item(IDCANCEL)), 1u);
  EXPECT_EQ(texts.at(Item(IDOK)), L"Save image and close");
  EXPECT_EQ(texts.at(Item(IDCANCEL)), L"Dont save and close");
  ASSERT_EQ(texts.count(Item(IDC_PANEL_REFINE_PALETTE)), 1u);
  EXPECT_EQ(texts.at(Item(IDC_PANEL_REFINE_PALETTE)), L"Bring palette colours closer to the image (takes longer)");
  ASSERT_EQ(texts.count(Item(IDC_PANEL_COMPRESSION)), 1u);
  EXPECT_EQ(texts.at(Item(IDC_PANEL_COMPRESSION)),
            L"Smallest: the same picture in fewer bytes; lossless, takes longer");
  EXPECT_EQ(texts.count(Item(IDC_PANEL_LOCK)), 0u);
  EXPECT_EQ(texts.count(Item(IDC_PANEL_TRANSPARENT)), 0u);
}

TEST_F(OptionsPanelWindow, ThePaletteViewSitsCentredInTheGroupWithItsCells) {
  CreatePanel();
  const HWND view = GetDlgItem(panel_, IDC_PANEL_PALETTE_VIEW);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(PaletteView.window, view);
  RECT group{};
  GetWindowRect(Item(IDC_PANEL_PALETTE_GROUP), &group);
  MapWindowPoints(nullptr, panel_, reinterpret_cast<POINT*>(&group), 2);
  RECT place{};
  GetWindowRect(view, &place);
  MapWindowPoints(nullptr, panel_, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.right - place.left, 216);
  EXPECT_EQ(place.bottom - place.top, 216);
  // As far from the group's left as from its right, then 4 pixels on; 16 below its top.
  const int leftGap = place.left - 4 - group.left;
  const int rightGap = group.right - (place.right - 4);
  EXPECT_GE(leftGap, 0);
  EXPECT_LE(rightGap - leftGap, 1);
  EXPECT_GE(rightGap - leftGap, 0);
  EXPECT_EQ(place.top, group.top + 16);
  for (int i : {0, 255}) {
    ASSERT_NE(PaletteView.Cell(i), nullptr);
    EXPECT_EQ(GetDlgItem(view, kFirstCellId + i), PaletteView.Cell(i)->window);
  }
  EXPECT_EQ(PaletteView.shownCount, 32);
  EXPECT_TRUE(Shown(PaletteView.Cell(31)));
  EXPECT_FALSE(Shown(PaletteView.Cell(32)));
  EXPECT_EQ(PaletteView.selected, -1);
  // Above the group box that frames it: beneath, the group box would clip every cell away.
  for (HWND above = GetWindow(view, GW_HWNDPREV); above != nullptr; above = GetWindow(above, GW_HWNDPREV)) {
    EXPECT_NE(above, Item(IDC_PANEL_PALETTE_GROUP));
  }
}

TEST_F(OptionsPanelWindow, InitialisationClearsEveryMarkAndNoRefreshHappens) {
  Palette.entries[3].mark = 1;
  Palette.entries[200].mark = 1;
  PaletteView.selected = 7;
  CreatePanel();
  for (const PaletteEntry& entry : Palette.entries) ASSERT_EQ(entry.mark, 0);
  EXPECT_EQ(PaletteView.Cell(3)->lockMark, 0);
  EXPECT_EQ(PaletteView.selected, -1);
  EXPECT_TRUE(refreshes.empty());
  EXPECT_EQ(Palette.built, 1);
}

TEST_F(OptionsPanelWindow, AStoredCountOf100Shows128AndStays100UntilTheUserPicks) {
  SaveOptions.paletteColors = 100;
  CreatePanel();
  const HWND colors = Item(IDC_PANEL_COLORS);
  const int shown = static_cast<int>(SendMessageW(colors, CB_GETCURSEL, 0, 0));
  EXPECT_EQ(ListText(colors, shown), L"128");
  EXPECT_EQ(SaveOptions.paletteColors, 100);
  EXPECT_EQ(PaletteView.shownCount, 128);
  // Another change re-synchronises the panel; the stored count still stays.
  Click(IDC_PANEL_RGB);
  Click(IDC_PANEL_PALETTE);
  EXPECT_EQ(refreshes.size(), 2u);
  EXPECT_EQ(SaveOptions.paletteColors, 100);
  EXPECT_EQ(ListText(colors, static_cast<int>(SendMessageW(colors, CB_GETCURSEL, 0, 0))), L"128");
  // The user's pick: the old last entry is the one the reduction used, entry 127.
  Palette.entries[127].alpha = 0;
  Palette.entries[99].alpha = 0;
  ChooseFromList(IDC_PANEL_COLORS, 2);
  EXPECT_EQ(SaveOptions.paletteColors, 64);
  EXPECT_EQ(Palette.entries[127].alpha, 255);
  EXPECT_EQ(Palette.entries[99].alpha, 0);
}

TEST_F(OptionsPanelWindow, AStoredCountOf300ShowsTheLargestAndOpensEntry255OnAPick) {
  SaveOptions.paletteColors = 300;
  Palette.entries[255].alpha = 0;
  CreatePanel();
  EXPECT_EQ(SendMessageW(Item(IDC_PANEL_COLORS), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(PaletteView.shownCount, 256);
  ChooseFromList(IDC_PANEL_COLORS, 7);
  EXPECT_EQ(SaveOptions.paletteColors, 2);
  EXPECT_EQ(Palette.entries[255].alpha, 255);
}

TEST_F(OptionsPanelWindow, ChoosingSixteenSetsTheCountAndAsksForARebuild) {
  CreatePanel();
  ClickCell(3);
  ASSERT_EQ(PaletteView.selected, 3);
  ChooseFromList(IDC_PANEL_COLORS, 4);
  EXPECT_EQ(SaveOptions.paletteColors, 16);
  ASSERT_EQ(refreshes.size(), 1u);
  EXPECT_EQ(refreshes[0].built, 0);
  EXPECT_EQ(refreshes[0].builtCount, 32);  // the count in use when the user chose
  EXPECT_EQ(refreshes[0].shownCount, 16);
  EXPECT_EQ(refreshes[0].selected, -1);       // a changed count clears the selection
  EXPECT_EQ(Palette.entries[31].alpha, 255);  // the old key colour entry is opaque again
  EXPECT_TRUE(Shown(PaletteView.Cell(15)));
  EXPECT_FALSE(Shown(PaletteView.Cell(16)));
  EXPECT_FALSE(Enabled(IDC_PANEL_LOCK));
  EXPECT_FALSE(Enabled(IDC_PANEL_TRANSPARENT));
}

TEST_F(OptionsPanelWindow, RefinePaletteShowsTheOptionAndAsksForARebuildAtTheSameCount) {
  SaveOptions.refinePalette = 1;
  CreatePanel();
  EXPECT_TRUE(Checked(IDC_PANEL_REFINE_PALETTE));
  EXPECT_TRUE(Enabled(IDC_PANEL_REFINE_PALETTE));
  ClickCell(3);
  Palette.entries[3].mark = 1;
  Click(IDC_PANEL_REFINE_PALETTE);
  EXPECT_EQ(SaveOptions.refinePalette, 0);
  ASSERT_EQ(refreshes.size(), 1u);
  EXPECT_EQ(refreshes[0].built, 0);
  EXPECT_EQ(refreshes[0].builtCount, 32);
  EXPECT_EQ(refreshes[0].selected, 3);  // the palette keeps its size, so the selection stays
  EXPECT_EQ(Palette.entries[3].mark, 1);
  Click(IDC_PANEL_REFINE_PALETTE);
  EXPECT_EQ(SaveOptions.refinePalette, 1);
  EXPECT_EQ(refreshes.size(), 2u);

  Click(IDC_PANEL_RGB);  // enabled exactly with the colour count
  EXPECT_FALSE(Enabled(IDC_PANEL_REFINE_PALETTE));
  EXPECT_EQ(Enabled(IDC_PANEL_REFINE_PALETTE), Enabled(IDC_PANEL_COLORS));
}

TEST_F(OptionsPanelWindow, AListActsOnlyWhenTheSelectionIsConfirmed) {
  CreatePanel();
  ChooseFromList(IDC_PANEL_COLORS, 4, CBN_SELCHANGE);
  ChooseFromList(IDC_PANEL_DITHER, 0, CBN_SELCHANGE);
  ChooseFromList(IDC_PANEL_COMPRESSION, 1, CBN_SELCHANGE);
  EXPECT_EQ(SaveOptions.paletteColors, 32);
  EXPECT_EQ(SaveOptions.dither, kDiffusion);
  EXPECT_EQ(SaveOptions.compression, kStandardCompression);
  EXPECT_EQ(Palette.built, 1);
  EXPECT_TRUE(refreshes.empty());
  EXPECT_TRUE(encodings.empty());
}

TEST_F(OptionsPanelWindow, ACompressionChoiceSetsTheOptionAndAsksForAnEncodingAlone) {
  SaveOptions.compression = kSmallestCompression;
  CreatePanel();
  EXPECT_EQ(SendMessageW(Item(IDC_PANEL_COMPRESSION), CB_GETCURSEL, 0, 0), 1);  // the stored option shows
  ClickCell(3);
  ChooseFromList(IDC_PANEL_COMPRESSION, 0);
  EXPECT_EQ(SaveOptions.compression, kStandardCompression);
  EXPECT_EQ(encodings, (std::vector<uint8_t>{1}));  // the palette stays built: nothing is reduced again
  EXPECT_TRUE(refreshes.empty());
  EXPECT_EQ(PaletteView.selected, 3);
  ChooseFromList(IDC_PANEL_COMPRESSION, 1);
  EXPECT_EQ(SaveOptions.compression, kSmallestCompression);
  EXPECT_EQ(encodings.size(), 2u);
  EXPECT_TRUE(refreshes.empty());

  // It applies to every type and image: never disabled.
  for (int type : {IDC_PANEL_GRAYSCALE, IDC_PANEL_RGB, IDC_PANEL_PALETTE}) {
    Click(type);
    EXPECT_TRUE(Enabled(IDC_PANEL_COMPRESSION)) << type;
    EXPECT_TRUE(Enabled(IDC_PANEL_COMPRESSION_LABEL)) << type;
  }
  EXPECT_EQ(SendMessageW(Item(IDC_PANEL_COMPRESSION), CB_GETCURSEL, 0, 0), 1);  // a type change keeps it
}

TEST_F(OptionsPanelWindow, LockTogglesTheMarkWithoutARefreshTransparencyWithOne) {
  CreatePanel();
  ClickCell(5);
  ASSERT_EQ(PaletteView.selected, 5);
  ASSERT_TRUE(Enabled(IDC_PANEL_LOCK));
  ASSERT_TRUE(Enabled(IDC_PANEL_TRANSPARENT));
  EXPECT_EQ(PaletteView.Cell(5)->selectedFrame, 1);

  Click(IDC_PANEL_LOCK);
  EXPECT_EQ(Palette.entries[5].mark, 1);
  EXPECT_TRUE(Checked(IDC_PANEL_LOCK));
  EXPECT_EQ(PaletteView.Cell(5)->lockMark, 1);
  Click(IDC_PANEL_LOCK);
  EXPECT_EQ(Palette.entries[5].mark, 0);
  EXPECT_FALSE(Checked(IDC_PANEL_LOCK));
  EXPECT_EQ(PaletteView.Cell(5)->lockMark, 0);
  EXPECT_TRUE(refreshes.empty());

  Click(IDC_PANEL_TRANSPARENT);
  EXPECT_EQ(Palette.entries[5].alpha, 0);
  EXPECT_TRUE(Checked(IDC_PANEL_TRANSPARENT));
  EXPECT_EQ(PaletteView.Cell(5)->transparentMark, 1);
  EXPECT_EQ(refreshes.size(), 1u);
  Click(IDC_PANEL_TRANSPARENT);
  EXPECT_EQ(Palette.entries[5].alpha, 255);
  EXPECT_FALSE(Checked(IDC_PANEL_TRANSPARENT));
  EXPECT_EQ(PaletteView.Cell(5)->transparentMark, 0);
  EXPECT_EQ(refreshes.size(), 2u);
}

TEST_F(OptionsPanelWindow, EntryButtonsDoNothingWithoutASelection) {
  CreatePanel();
  ASSERT_EQ(PaletteView.selected, -1);
  EXPECT_FALSE(Enabled(IDC_PANEL_LOCK));
  EXPECT_FALSE(Enabled(IDC_PANEL_TRANSPARENT));
  const PaletteRecord before = Palette;
  Command(IDC_PANEL_LOCK, BN_CLICKED, reinterpret_cast<LPARAM>(Item(IDC_PANEL_LOCK)));
  Command(IDC_PANEL_TRANSPARENT, BN_CLICKED, reinterpret_cast<LPARAM>(Item(IDC_PANEL_TRANSPARENT)));
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(Palette.entries[i].mark, before.entries[i].mark);
    EXPECT_EQ(Palette.entries[i].alpha, before.entries[i].alpha);
  }
  EXPECT_FALSE(Checked(IDC_PANEL_LOCK));
  EXPECT_TRUE(refreshes.empty());
}

TEST_F(OptionsPanelWindow, ACellClickShowsTheEntrysMarkAndItsTransparency) {
  Palette.entries[9].alpha = 0;
  CreatePanel();
  Palette.entries[9].mark = 1;  // marks set after initialisation, which clears them
  Palette.entries[10].alpha = 0;
  // The first click, while nothing was selected and the transparency button was disabled, already shows it.
  ClickCell(9);
  EXPECT_TRUE(Checked(IDC_PANEL_LOCK));
  EXPECT_TRUE(Checked(IDC_PANEL_TRANSPARENT));
  EXPECT_TRUE(Enabled(IDC_PANEL_TRANSPARENT));
  ClickCell(10);
  EXPECT_FALSE(Checked(IDC_PANEL_LOCK));
  EXPECT_TRUE(Checked(IDC_PANEL_TRANSPARENT));
  EXPECT_EQ(PaletteView.selected, 10);
  EXPECT_EQ(PaletteView.Cell(9)->selectedFrame, 0);
  EXPECT_EQ(PaletteView.Cell(10)->selectedFrame, 1);
  EXPECT_TRUE(refreshes.empty());
}

TEST_F(OptionsPanelWindow, AlphaChannelClearsEveryMarkKeyColourDoesNot) {
  CreatePanel();
  for (int i : {2, 4, 6}) {
    ClickCell(i);
    Click(IDC_PANEL_LOCK);
  }
  ASSERT_EQ(Palette.entries[4].mark, 1);
  ASSERT_TRUE(refreshes.empty());

  Click(IDC_PANEL_KEY_COLOR);  // off
  EXPECT_EQ(SaveOptions.useKeyColor, 0);
  ASSERT_EQ(refreshes.size(), 1u);
  EXPECT_EQ(refreshes[0].built, 0);
  EXPECT_EQ(refreshes[0].builtCount, 256);
  for (int i : {2, 4, 6}) {
    EXPECT_EQ(Palette.entries[i].mark, 1) << i;
    EXPECT_EQ(PaletteView.Cell(i)->lockMark, 1) << i;
  }
  EXPECT_EQ(Palette.entries[31].alpha, 255);  // made opaque
  EXPECT_TRUE(Enabled(IDC_PANEL_FILL_COLOR_LABEL));
  EXPECT_EQ(GetColorSwatch(panel_, IDC_PANEL_FILL_COLOR)->enabled, 1);

  Palette.built = 1;
  Click(IDC_PANEL_ALPHA_CHANNEL);  // on
  EXPECT_EQ(SaveOptions.alphaChannel, 1);
  ASSERT_EQ(refreshes.size(), 2u);
  EXPECT_EQ(refreshes[1].built, 0);
  EXPECT_EQ(refreshes[1].builtCount, 256);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(Palette.entries[i].mark, 0) << i;
    ASSERT_EQ(Palette.entries[i].alpha, 255) << i;
  }
  for (int i : {2, 4, 6}) EXPECT_EQ(PaletteView.Cell(i)->lockMark, 0) << i;
  EXPECT_FALSE(Enabled(IDC_PANEL_KEY_COLOR));
  EXPECT_FALSE(Enabled(IDC_PANEL_FILL_COLOR_LABEL));
  EXPECT_EQ(GetColorSwatch(panel_, IDC_PANEL_FILL_COLOR)->enabled, 0);
  EXPECT_FALSE(Enabled(IDC_PANEL_FILL_COLOR));
}

TEST_F(OptionsPanelWindow, KeyColourBackOnLeavesTheTransparencyAndMakesTheButtonUsable) {
  SaveOptions.useKeyColor = 0;
  CreatePanel();
  ClickCell(1);
  EXPECT_FALSE(Enabled(IDC_PANEL_TRANSPARENT));
  Palette.entries[8].alpha = 0;
  Click(IDC_PANEL_KEY_COLOR);  // on
  EXPECT_EQ(SaveOptions.useKeyColor, 1);
  EXPECT_EQ(Palette.entries[8].alpha, 0);
  EXPECT_TRUE(Enabled(IDC_PANEL_TRANSPARENT));
  EXPECT_EQ(refreshes.size(), 1u);
}

TEST_F(OptionsPanelWindow, ATypeChangeResynchronisesEveryControlBeforeTheRefresh) {
  SaveOptions.pngType = kPngRgb;
  SaveOptions.paletteColors = 16;
  CreatePanel();
  EXPECT_EQ(PaletteView.shownCount, 0);
  EXPECT_FALSE(Enabled(IDC_PANEL_COLORS));
  EXPECT_FALSE(Checked(IDC_PANEL_ALPHA_CHANNEL));
  SaveOptions.alphaChannel = 1;  // changed behind the panel's back: the sync must show it

  Click(IDC_PANEL_PALETTE);
  EXPECT_EQ(SaveOptions.pngType, kPngPalette);
  ASSERT_EQ(refreshes.size(), 1u);
  EXPECT_EQ(refreshes[0].shownCount, 16);
  EXPECT_TRUE(refreshes[0].colorsEnabled);
  EXPECT_TRUE(refreshes[0].paletteChecked);
  EXPECT_FALSE(refreshes[0].rgbChecked);
  EXPECT_TRUE(refreshes[0].alphaChecked);

  Click(IDC_PANEL_GRAYSCALE);
  EXPECT_EQ(SaveOptions.pngType, kPngGrayscale);
  ASSERT_EQ(refreshes.size(), 2u);
  EXPECT_EQ(refreshes[1].shownCount, 0);
  EXPECT_FALSE(refreshes[1].colorsEnabled);
  EXPECT_FALSE(refreshes[1].paletteChecked);
}

TEST_F(OptionsPanelWindow, SaveAndCancelReachTheParentAtOnceAndUnchanged) {
  CreatePanel();
  Command(IDOK, 0, 0);
  ASSERT_EQ(parentCommands.size(), 1u);
  EXPECT_EQ(parentCommands[0].first, static_cast<WPARAM>(IDOK));
  EXPECT_EQ(parentCommands[0].second, 0);
  Command(IDCANCEL, 7, 1234);
  ASSERT_EQ(parentCommands.size(), 2u);
  EXPECT_EQ(parentCommands[1].first, MAKEWPARAM(IDCANCEL, 7));
  EXPECT_EQ(parentCommands[1].second, 1234);
  // The button's own click arrives posted and goes on the same way.
  SendMessageW(Item(IDOK), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(Item(IDOK), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PumpMessages();
  ASSERT_EQ(parentCommands.size(), 3u);
  EXPECT_EQ(parentCommands[2].first, static_cast<WPARAM>(IDOK));
  EXPECT_TRUE(refreshes.empty());
}

TEST_F(OptionsPanelWindow, DitherChoiceAppliesTheEnableRulesAndTransparencyDitherIsStored) {
  CreatePanel();
  EXPECT_TRUE(Enabled(IDC_PANEL_TRANSPARENCY_DITHER));
  ChooseFromList(IDC_PANEL_DITHER, 0);
  EXPECT_EQ(SaveOptions.dither, kNoDither);
  EXPECT_FALSE(Enabled(IDC_PANEL_TRANSPARENCY_DITHER));
  EXPECT_EQ(refreshes.size(), 1u);
  ChooseFromList(IDC_PANEL_DITHER, 3);
  EXPECT_EQ(SaveOptions.dither, kNoise);
  EXPECT_TRUE(Enabled(IDC_PANEL_TRANSPARENCY_DITHER));
  EXPECT_EQ(refreshes.size(), 2u);

  Click(IDC_PANEL_TRANSPARENCY_DITHER);
  EXPECT_EQ(SaveOptions.keyColorDither, 1);
  EXPECT_EQ(refreshes.size(), 3u);
  Click(IDC_PANEL_TRANSPARENCY_DITHER);
  EXPECT_EQ(SaveOptions.keyColorDither, 0);
  EXPECT_EQ(refreshes.size(), 4u);
}

TEST_F(OptionsPanelWindow, TheFillColourSwatchShowsAndSetsTheFillColour) {
  CreatePanel();
  ColorSwatch* swatch = GetColorSwatch(panel_, IDC_PANEL_FILL_COLOR);
  ASSERT_NE(swatch, nullptr);
  EXPECT_EQ(swatch->color, 0x00102030u);
  SaveOptions.useKeyColor = 0;
  panelObject_->ApplyEnableRules();
  ASSERT_EQ(swatch->enabled, 1);
  pickedColor = 0x00ABCDEF;
  SendMessageW(swatch->window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));  // a plain swatch picks on a click
  EXPECT_EQ(SaveOptions.fillColor, 0x00ABCDEF);
  EXPECT_EQ(refreshes.size(), 1u);
}

TEST_F(OptionsPanelWindow, ADoubleClickOnACellRecoloursItsEntry) {
  CreatePanel();
  pickedColor = 0x00445566;
  SendMessageW(PaletteView.Cell(7)->window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
  PumpMessages();  // the container posts the cell's report on to the panel
  EXPECT_EQ(Palette.entries[7].red, 0x66);
  EXPECT_EQ(Palette.entries[7].green, 0x55);
  EXPECT_EQ(Palette.entries[7].blue, 0x44);
  EXPECT_EQ(Palette.entries[6].red, 6);
  EXPECT_EQ(refreshes.size(), 1u);
}

TEST_F(OptionsPanelWindow, GrayWithAlphaAsPaletteDisablesAllButTheTypesAndTheFill) {
  WholeImage._WholeMode = 1;
  WholeImage._WholePlanesIn = 2;
  CreatePanel();
  for (int id : {IDC_PANEL_ALPHA_CHANNEL, IDC_PANEL_KEY_COLOR, IDC_PANEL_TRANSPARENCY_DITHER, IDC_PANEL_COLORS,
                 IDC_PANEL_COLORS_LABEL, IDC_PANEL_REFINE_PALETTE, IDC_PANEL_PALETTE_GROUP, IDC_PANEL_DITHER,
                 IDC_PANEL_DITHER_LABEL, IDC_PANEL_LOCK, IDC_PANEL_TRANSPARENT}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  // The gray ramp keeps no transparency: the image is laid over the fill, which therefore can be chosen.
  EXPECT_TRUE(Enabled(IDC_PANEL_FILL_COLOR_LABEL));
  EXPECT_FALSE(IsWindowEnabled(PaletteView.window));
  for (int id : {IDC_PANEL_GRAYSCALE, IDC_PANEL_PALETTE, IDC_PANEL_RGB, IDC_PANEL_COMPRESSION}) {
    EXPECT_TRUE(Enabled(id)) << id;
  }
  EXPECT_EQ(PaletteView.shownCount, 256);  // the gray ramp

  Click(IDC_PANEL_RGB);  // the fill colour follows the alpha channel again
  EXPECT_TRUE(Enabled(IDC_PANEL_ALPHA_CHANNEL));
  EXPECT_TRUE(Enabled(IDC_PANEL_FILL_COLOR_LABEL));
  EXPECT_FALSE(Enabled(IDC_PANEL_KEY_COLOR));
}

TEST_F(OptionsPanelWindow, AnIndexedImageShowsTheHostsColoursInADisabledView) {
  WholeImage._WholeMode = 2;
  WholeImage._WholePlanesIn = 1;
  Palette.count = 12;
  CreatePanel();
  EXPECT_EQ(PaletteView.shownCount, 12);
  EXPECT_EQ(PaletteView.Cell(11)->color, 0x0007F40Bu);  // red 11, green 244, blue 7
  EXPECT_FALSE(IsWindowEnabled(PaletteView.window));
  EXPECT_FALSE(Enabled(IDC_PANEL_COLORS));
  EXPECT_FALSE(Enabled(IDC_PANEL_DITHER));
  EXPECT_FALSE(Enabled(IDC_PANEL_ALPHA_CHANNEL));
}

TEST_F(OptionsPanelWindow, EntryButtonsShowTheirImagesForEnablingAndHover) {
  CreatePanel();
  const HWND lock = Item(IDC_PANEL_LOCK);
  const HBITMAP lockNormal = panelObject_->Face(IDB_LOCK_NORMAL);
  const HBITMAP lockHover = panelObject_->Face(IDB_LOCK_HOVER);
  const HBITMAP lockDisabled = panelObject_->Face(IDB_LOCK_DISABLED);
  for (HBITMAP face : {lockNormal, lockHover, lockDisabled, panelObject_->Face(IDB_TRANSPARENT_NORMAL),
                       panelObject_->Face(IDB_TRANSPARENT_LIGHT)}) {
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(GetObjectType(face), static_cast<DWORD>(OBJ_BITMAP));
  }
  const BitmapCheckRecord* record = BitmapCheckRecordOf(lock);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->images.slots[static_cast<int>(FaceSlot::kNormal)], lockNormal);
  EXPECT_EQ(record->images.slots[static_cast<int>(FaceSlot::kHover)], lockHover);
  EXPECT_EQ(record->images.slots[static_cast<int>(FaceSlot::kDisabled)], lockDisabled);
  EXPECT_EQ(record->images.slots[static_cast<int>(FaceSlot::kChecked)], nullptr);
  const BitmapCheckRecord* transparent = BitmapCheckRecordOf(Item(IDC_PANEL_TRANSPARENT));
  ASSERT_NE(transparent, nullptr);
  EXPECT_EQ(transparent->images.slots[static_cast<int>(FaceSlot::kNormal)], panelObject_->Face(IDB_TRANSPARENT_NORMAL));
  EXPECT_EQ(transparent->images.slots[static_cast<int>(FaceSlot::kHover)], panelObject_->Face(IDB_TRANSPARENT_LIGHT));
  EXPECT_EQ(transparent->images.slots[static_cast<int>(FaceSlot::kDisabled)],
            panelObject_->Face(IDB_TRANSPARENT_LIGHT));

  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockDisabled);  // nothing selected
  EXPECT_EQ(ImageOf(IDC_PANEL_TRANSPARENT), panelObject_->Face(IDB_TRANSPARENT_LIGHT));
  ClickCell(0);
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockNormal);
  EXPECT_EQ(ImageOf(IDC_PANEL_TRANSPARENT), panelObject_->Face(IDB_TRANSPARENT_NORMAL));

  SendMessageW(lock, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockHover);
  EXPECT_TRUE(record->hovered);
  EXPECT_EQ(GetCapture(), lock);
  SendMessageW(lock, WM_MOUSEMOVE, 0, MAKELPARAM(-3, -3));
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockNormal);
  EXPECT_FALSE(record->hovered);
  EXPECT_NE(GetCapture(), lock);

  // A release only forgets the hover; the face changes with the next move.
  SendMessageW(lock, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  SendMessageW(lock, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_FALSE(record->hovered);
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockHover);
  SendMessageW(lock, WM_MOUSEMOVE, 0, MAKELPARAM(-3, -3));
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockNormal);
  EXPECT_NE(GetCapture(), lock);

  // A check change while enabled keeps the face: this button has no checked image.
  // (The command itself, not a synthetic click, which may move the mouse over the button.)
  Command(IDC_PANEL_LOCK, BN_CLICKED, reinterpret_cast<LPARAM>(lock));
  EXPECT_TRUE(Checked(IDC_PANEL_LOCK));
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockNormal);
  // Deselected: unchecked, then disabled, which shows the disabled image.
  Click(IDC_PANEL_RGB);
  EXPECT_FALSE(Checked(IDC_PANEL_LOCK));
  EXPECT_FALSE(Enabled(IDC_PANEL_LOCK));
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockDisabled);
}

TEST_F(OptionsPanelWindow, DestroyingThePanelDeletesItsBitmapsAndLeavesNoOwnedObject) {
  const int baseline = gdi::LiveObjects();
  CreatePanel();
  std::vector<HBITMAP> faces;
  for (int id : {IDB_LOCK_DISABLED, IDB_LOCK_NORMAL, IDB_LOCK_HOVER, IDB_TRANSPARENT_LIGHT, IDB_TRANSPARENT_NORMAL}) {
    faces.push_back(panelObject_->Face(id));
    ASSERT_NE(faces.back(), nullptr) << id;
  }
  EXPECT_GT(gdi::LiveObjects(), baseline);
  const HWND lock = Item(IDC_PANEL_LOCK);
  DestroyWindow(panel_);
  EXPECT_FALSE(IsWindow(lock));
  for (HBITMAP face : faces) EXPECT_EQ(GetObjectType(face), 0u);
  EXPECT_EQ(GetOptionsPanel(panel_), nullptr);
  PaletteView.ReleaseAll();
  EXPECT_EQ(gdi::LiveObjects(), baseline);
}

int BitmapWidth(HBITMAP bitmap) {
  BITMAP info{};
  return GetObjectW(bitmap, sizeof info, &info) == sizeof info ? info.bmWidth : 0;
}

TEST_F(OptionsPanelWindow, MovedToAnotherScaleTheEntryButtonsTakeFacesDrawnForItAndTheOldOnesGo) {
  CreatePanel();
  ClickCell(0);  // both buttons enabled: they show their normal faces
  const HBITMAP lockAt100 = panelObject_->Face(IDB_LOCK_NORMAL);
  const HBITMAP transparentAt100 = panelObject_->Face(IDB_TRANSPARENT_NORMAL);
  ASSERT_NE(lockAt100, nullptr);
  const int widthAt100 = BitmapWidth(lockAt100);
  const int objectsAt100 = gdi::LiveObjects();

  panelObject_->TakeFacesForDpi(192);
  const HBITMAP lockAt200 = panelObject_->Face(IDB_LOCK_NORMAL);
  ASSERT_NE(lockAt200, nullptr);
  EXPECT_EQ(BitmapWidth(lockAt200), ArtworkScaledSize(widthAt100, ArtworkScale::k200));
  EXPECT_EQ(GetObjectType(lockAt100), 0u);  // released, not kept beside the new ones
  EXPECT_EQ(GetObjectType(transparentAt100), 0u);
  EXPECT_EQ(gdi::LiveObjects(), objectsAt100);
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), lockAt200);
  EXPECT_EQ(ImageOf(IDC_PANEL_TRANSPARENT), panelObject_->Face(IDB_TRANSPARENT_NORMAL));
  const BitmapCheckRecord* record = BitmapCheckRecordOf(Item(IDC_PANEL_LOCK));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->images.slots[static_cast<int>(FaceSlot::kHover)], panelObject_->Face(IDB_LOCK_HOVER));
  EXPECT_EQ(record->images.slots[static_cast<int>(FaceSlot::kDisabled)], panelObject_->Face(IDB_LOCK_DISABLED));

  // Hovering and disabling go on with the new faces.
  SendMessageW(Item(IDC_PANEL_LOCK), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), panelObject_->Face(IDB_LOCK_HOVER));
  SendMessageW(Item(IDC_PANEL_LOCK), WM_MOUSEMOVE, 0, MAKELPARAM(-3, -3));
  Click(IDC_PANEL_RGB);
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), panelObject_->Face(IDB_LOCK_DISABLED));

  // The same scale again changes nothing; back to 96 dpi the 100 % faces return, disabled as the button is.
  panelObject_->TakeFacesForDpi(200);
  EXPECT_EQ(panelObject_->Face(IDB_LOCK_NORMAL), lockAt200);
  panelObject_->TakeFacesForDpi(96);
  EXPECT_EQ(BitmapWidth(panelObject_->Face(IDB_LOCK_NORMAL)), widthAt100);
  EXPECT_EQ(GetObjectType(lockAt200), 0u);
  EXPECT_EQ(ImageOf(IDC_PANEL_LOCK), panelObject_->Face(IDB_LOCK_DISABLED));
  EXPECT_EQ(gdi::LiveObjects(), objectsAt100);
}

}  // namespace
