#include "widgets/color_pick.h"

namespace {
HostColorPicker hostPicker = nullptr;
}

void SetHostColorPicker(HostColorPicker picker) { hostPicker = picker; }

HostColorPicker InstalledHostColorPicker() { return hostPicker; }
