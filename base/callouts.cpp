#include "base/callouts.h"

CalloutSlots Callouts;

void CalloutStatusLine(const char* line) {
  if (Callouts.statusLine != nullptr) Callouts.statusLine(Callouts.statusLineOwner, line);
}

void CalloutPaletteViewRefresh() {
  if (Callouts.paletteViewRefresh != nullptr) Callouts.paletteViewRefresh();
}

ColorPick CalloutPickColor(uint32_t initialColor, uint32_t* picked) {
  return Callouts.pickColor != nullptr ? Callouts.pickColor(initialColor, picked) : ColorPick::kUnavailable;
}
