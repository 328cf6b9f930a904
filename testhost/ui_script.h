#pragma once
// vexhost's UI scripts (--ui SCRIPT): the text, one action per line, parsed into actions for the driver
// that performs them on the preview dialog (ui_driver.h). The format is described in testhost/README.md.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class UiVerb {
  kClick,
  kSelect,
  kCell,
  kDoubleCell,
  kDrag,
  kResize,
  kHover,
  kWait,
  kSnapshot,
  kOk,
  kCancel,
  kRect,
  kKey,
  kFocus,
  kSettle,
  kWatch,
  kWatched,
  kDpi,
  kText,
  kImage,
  kZoom,
  kView
};

// The keys `key` presses, as a keyboard would.
enum class UiKey {
  kTab,
  kShiftTab,
  kEnter,
  kSpace,
  kEscape,
  kLeft,
  kRight,
  kUp,
  kDown,
  kCtrlPlus,
  kCtrlMinus,
  kCtrlZero,
  kCtrlOne
};
// How a key is written in a script ("Shift+Tab"), for messages and reports.
const char* KeyText(UiKey key);

// Where a control ID is looked up. Bare IDs try the options panel, then the dialog, then the header bar,
// because the three reuse IDs (1005 is a panel check box, the preview and a header button).
enum class UiScope { kAnyPart, kPanel, kDialog, kHeader };

// What `rect` reports on: a control, or one of the dialog's parts that have no usable ID.
enum class UiPart { kControl, kDialog, kPanel, kHeader, kStatusBar, kProgressBar };

struct UiTarget {
  UiPart part = UiPart::kControl;
  UiScope scope = UiScope::kAnyPart;
  int id = 0;  // kControl only
};

struct UiAction {
  int line = 0;  // 1-based line of the script
  UiVerb verb = UiVerb::kCancel;
  UiTarget target;  // click, select, hover, rect
  // select INDEX, cell N, drag DX, resize W, wait MS, key (a UiKey), settle (1 refresh, 0 queue), zoom and view
  // (the entry of the dialog's zoom or view list: 0 Fit to 8 800%, 0 1-Up or 1 2-Up)
  int32_t first = 0;
  int32_t second = 0;  // drag DY, resize H
  std::string path;    // snapshot PATH (UTF-8)
};

// The actions of a script, in order. nullopt with *error set to "line N: ..." for the first line that is
// not an action.
std::optional<std::vector<UiAction>> ParseUiScript(std::string_view text, std::string* error);

// How a target is written in a script ("panel:1005", "1005", "progress"), for messages and reports.
std::string TargetText(const UiTarget& target);
