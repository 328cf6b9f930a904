#pragma once
// Stands in for the Win32 preview dialog in the native build: does what the dialog's opening does.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct DialogDoubleScript {
  bool cancel = false;  // answer the dialog with Cancel instead of Save
};
extern DialogDoubleScript DialogScript;

// What the stand-in was shown, for tests.
struct DialogDoubleRecord {
  int opened = 0;
  std::vector<std::pair<int32_t, int16_t>> progress;  // (position, range)
  std::vector<std::string> statusLines;
};
extern DialogDoubleRecord DialogSeen;
