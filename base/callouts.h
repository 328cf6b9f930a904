#pragma once
// The few things a lower floor tells the floors above it: how far a long job has come, the size line of the
// preview, that the reduction has prepared a new palette, and a request to pick a colour. Each is a plain
// function-pointer slot, null while nobody answers; whoever answers installs its function and takes it out
// again when it stops answering. Callers go through the small functions below, which do nothing while a slot
// is empty.
#include <cstdint>

enum class ColorPick {
  kPicked,       // *picked holds the new colour
  kUnchanged,    // the user cancelled or the picker failed: keep the colour
  kUnavailable,  // this picker cannot pick at all: try the next one
};

struct CalloutSlots {
  // Work done out of a total: the reduction, the PNG writer and the save's copy. False: stop the work now (the
  // host asked to abort).
  bool (*progress)(double done, double total) = nullptr;
  // The preview's size line, for whoever installed it (statusLineOwner).
  void (*statusLine)(void* owner, const char* line) = nullptr;
  void* statusLineOwner = nullptr;
  // The reduction has prepared the palette, so a palette view can follow it.
  void (*paletteViewRefresh)() = nullptr;
  // A colour (0x00BBGGRR) chosen starting from initialColor; kUnavailable sends a swatch to the system dialog.
  ColorPick (*pickColor)(uint32_t initialColor, uint32_t* picked) = nullptr;
};
extern CalloutSlots Callouts;

void CalloutStatusLine(const char* line);
void CalloutPaletteViewRefresh();
// kUnavailable while nobody picks.
ColorPick CalloutPickColor(uint32_t initialColor, uint32_t* picked);
