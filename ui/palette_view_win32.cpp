#include "ui/palette_view_win32.h"

#include <algorithm>
#include <memory>

#include "base/callouts.h"
#include "base/debug_log.h"
#include "records/color.h"
#include "records/palette.h"
#include "records/palette_alpha.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "ui/panel_commands.h"
#include "widgets/window_class_win32.h"

TPalettePalette PaletteView;

namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

uint32_t ColorOf(const TPalettePalette::ColorEntry& entry) { return PackColor(entry.red, entry.green, entry.blue); }

// How the file will state the entries' transparency, which is what the cells show.
PaletteAlpha CurrentPaletteAlpha() {
  return PaletteAlphaFor(WholeImage._WholeMode, WholeImage._WholePlanesIn, SaveOptions.alphaChannel != 0,
                         SaveOptions.useKeyColor != 0, Palette);
}

// An entry's own alpha where the file keeps it, else clear or opaque.
void ShowSavedAlpha(ColorSwatch& cell, uint8_t alpha, PaletteAlpha how) {
  if (how == PaletteAlpha::kEntryAlpha) {
    cell.SetAlpha(alpha);
  } else {
    cell.SetTransparentMark(how == PaletteAlpha::kKeyed && alpha == 0 ? 1 : 0);
  }
}

}  // namespace

void RefreshPaletteView() { PaletteView.RefreshPaletteView(); }

TPalettePalette::~TPalettePalette() {
  DebugLog("~TPalettePalette begin");
  ReleaseAll();
  DebugLog("~TPalettePalette end");
}

void TPalettePalette::CreateWND(HWND parentWindow, int x, int y, int viewWidth, int viewHeight, int viewBaseId,
                                HWND tabAfter) {
  baseId = viewBaseId;
  width = viewWidth;
  height = viewHeight;
  parent = parentWindow;
  // One set of cells per view: whatever a previous panel left is let go first.
  DestroyCells();
  if (container != nullptr) container->holder = nullptr;
  container = nullptr;
  window = nullptr;

  auto view = std::make_unique<PlainContainer>();
  view->onKey = [this](WPARAM key) { return OnKey(key); };
  view->onFocus = [this](bool focused) { ShowFocus(focused); };
  const HWND created = CreateToolkitWindow(std::move(view), kPlainContainerClass, kChildStyle | WS_TABSTOP, x, y, width,
                                           height, parent, baseId);
  container = static_cast<PlainContainer*>(GetControlObject(created, kPlainContainerClass));
  if (container == nullptr) {
    DebugLog("TPalettePalette::CreateWND Error, cannot create WND");
    return;
  }
  container->holder = &container;
  window = created;
  // A window made now goes to the bottom of its siblings, under the group box that frames it, which would
  // clip it away: it belongs above it, where it also takes its turn in the tab order.
  SetWindowPos(window, tabAfter != nullptr ? tabAfter : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // From now until ReleaseAll every palette the reduction prepares shows here.
  Callouts.paletteViewRefresh = &::RefreshPaletteView;
  for (int index = 0; index < kPaletteCells; ++index) CreateCell(index);
}

void TPalettePalette::CreateCell(int index) {
  const CellPlace place = PaletteCellPlace(index, width, height);
  const HWND cellWindow = CreateToolkitWindow(std::make_unique<ColorSwatch>(), kColorSwatchClass, kChildStyle, place.x,
                                              place.y, place.width, place.height, window, baseId + 1 + index);
  auto* cell = static_cast<ColorSwatch*>(GetControlObject(cellWindow, kColorSwatchClass));
  if (cell == nullptr) {
    DebugLog("Ahtung! iColorBtn[i] = NULL");
    return;
  }
  iColorBtn[index] = cell;
  cell->holder = &iColorBtn[index];
  cell->cellMode = kPaletteCellMode;
  const ColorEntry& entry = colors[index];
  cell->SetColor(ColorOf(entry));
  ShowSavedAlpha(*cell, entry.alpha, CurrentPaletteAlpha());
  ShowWindow(cellWindow, SW_HIDE);  // SetShownCount shows the cells in use
}

void TPalettePalette::DestroyCells() {
  for (ColorSwatch*& reference : iColorBtn) {
    ColorSwatch* cell = reference;
    if (cell == nullptr) continue;
    reference = nullptr;
    cell->holder = nullptr;
    // A cell object always has its window, which deletes the object as it goes.
    DestroyWindow(cell->window);
  }
}

void TPalettePalette::ReleaseAll() {
  DebugLog("TPalettePalette::ReleaseAll BEGIN");
  DestroyCells();
  shownCount = 0;
  if (Callouts.paletteViewRefresh == &::RefreshPaletteView) Callouts.paletteViewRefresh = nullptr;
  DebugLog("TPalettePalette::ReleaseAll END");
}

ColorSwatch* TPalettePalette::Cell(int index) const {
  return index >= 0 && index < kPaletteCells ? iColorBtn[index] : nullptr;
}

void TPalettePalette::Select(int index) {
  const bool focused = container != nullptr && container->focused;
  if (focused) ShowFocus(false);
  if (ColorSwatch* previous = Cell(selected)) previous->SetSelectedFrame(0);
  selected = index;
  if (ColorSwatch* cell = Cell(index)) cell->SetSelectedFrame(1);
  if (focused) ShowFocus(true);
}

bool TPalettePalette::OnKey(WPARAM virtualKey) {
  ArrowKey arrow;
  switch (virtualKey) {
    case VK_LEFT: arrow = ArrowKey::kLeft; break;
    case VK_RIGHT: arrow = ArrowKey::kRight; break;
    case VK_UP: arrow = ArrowKey::kUp; break;
    case VK_DOWN: arrow = ArrowKey::kDown; break;
    case VK_RETURN:
      // The colour choice for the selected entry, as a double click on its cell gives it.
      if (ColorSwatch* cell = Cell(selected); cell != nullptr && selected < shownCount) cell->Pick();
      return true;
    default: return false;
  }
  const int32_t next = CellAfterArrow(selected, shownCount, arrow);
  // As a click on the cell: the panel selects it and updates its buttons.
  if (next >= 0 && next != selected) SendMessageW(parent, WM_COMMAND, static_cast<WPARAM>(baseId + 1 + next), 1);
  return true;
}

void TPalettePalette::ShowFocus(bool focused) {
  // The selected cell, or the first one before anything is selected, shows the view's focus.
  if (ColorSwatch* cell = Cell(selected >= 0 ? selected : 0)) cell->SetFocusCue(focused ? 1 : 0);
}

void TPalettePalette::SetShownCount(int count) {
  if (count != shownCount) {
    const bool focused = container != nullptr && container->focused;
    if (focused) ShowFocus(false);
    if (ColorSwatch* previous = Cell(selected)) previous->SetSelectedFrame(0);
    selected = -1;
    if (focused) ShowFocus(true);
  }
  shownCount = count;
  for (int index = 0; index < kPaletteCells; ++index) {
    if (ColorSwatch* cell = Cell(index)) ShowWindow(cell->window, index < count ? SW_SHOWNA : SW_HIDE);
  }
}

void TPalettePalette::RefreshPaletteView() {
  const PaletteAlpha how = CurrentPaletteAlpha();
  // An indexed image always shows the host's colour table, whatever the PNG type.
  if (SaveOptions.pngType != kPngPalette && WholeImage._WholeMode != kWholeIndexed) {
    SetShownCount(0);
    return;
  }
  const int count = std::clamp(Palette.count, 0, kPaletteCells);
  for (int index = 0; index < count; ++index) {
    const PaletteEntry& source = Palette.entries[index];
    ColorEntry& entry = colors[index];
    entry.red = source.red;
    entry.green = source.green;
    entry.blue = source.blue;
    entry.alpha = source.alpha;
    ColorSwatch* cell = Cell(index);
    if (cell == nullptr) continue;
    cell->SetColor(ColorOf(entry));
    cell->SetLockMark(source.mark);
    ShowSavedAlpha(*cell, entry.alpha, how);
  }
  SetShownCount(count);
}
