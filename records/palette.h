#pragma once
// The palette shared by acquisition, reduction, the panel and the writer: one per process.
#include <cstdint>

struct PaletteEntry {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t alpha;  // 0 transparent .. 255 opaque
  uint8_t mark;   // the user's lock
};
static_assert(sizeof(PaletteEntry) == 5, "palette entries are five contiguous bytes");

struct PaletteRecord {
  PaletteEntry entries[256] = {};
  int32_t count = 0;         // entries in use
  int32_t builtCount = 256;  // entries the last build produced
  uint8_t built = 0;         // palette and colour map are current for the options
};
extern PaletteRecord Palette;
