#pragma once
// TPalettePalette: the working palette as a 16 x 16 grid of colour swatch cells inside the options panel.
// A click on a cell selects its entry, a double click picks a new colour for it; the cells show the
// entries' lock marks and either their alpha or a transparent look. One object per process; its windows
// exist only while the options panel does.
#include <windows.h>

#include <cstdint>

#include "widgets/color_swatch_win32.h"
#include "widgets/plain_container_win32.h"
#include "widgets/swatch_look.h"

class TPalettePalette {
 public:
  TPalettePalette() = default;
  ~TPalettePalette();
  TPalettePalette(const TPalettePalette&) = delete;
  TPalettePalette& operator=(const TPalettePalette&) = delete;

  // Creates the container at (x, y), width x height in `parent`, with control id `baseId`, and the 256
  // hidden cells in it, cell i with id baseId + 1 + i. Installs the reduction's refresh hook. The view is one
  // tab stop, whose arrow keys move the selection and whose Enter picks the selected entry's colour; it comes
  // after `tabAfter` in the tab order and lies above every later sibling (the group box that frames it), or on
  // top of all of them without one.
  void CreateWND(HWND parent, int x, int y, int width, int height, int baseId, HWND tabAfter = nullptr);
  // Destroys the cells (the container goes with its parent) and removes the refresh hook.
  void ReleaseAll();
  // Moves the selection to entry `index`, or to none for -1.
  void Select(int index);
  // Shows the first `count` cells and hides the others; a changed count clears the selection.
  void SetShownCount(int count);
  // Copies the working palette into the view and its cells.
  void RefreshPaletteView();

  // The cell of entry `index`, or null when it does not exist.
  ColorSwatch* Cell(int index) const;

  struct ColorEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;
  };

  HWND window = nullptr;  // the container, or none
  HWND parent = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t baseId = 0;
  int32_t selected = -1;
  ColorEntry colors[kPaletteCells] = {};
  int32_t shownCount = 0;
  PlainContainer* container = nullptr;         // owned by its window
  ColorSwatch* iColorBtn[kPaletteCells] = {};  // owned by their windows; null where no cell exists

 private:
  bool OnKey(WPARAM virtualKey);
  void ShowFocus(bool focused);
  void CreateCell(int index);
  void DestroyCells();
};

// The process's palette view.
extern TPalettePalette PaletteView;

// PaletteView.RefreshPaletteView(), as the reduction's hook calls it.
void RefreshPaletteView();
