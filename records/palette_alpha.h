#pragma once
// How a saved Palette PNG states the transparency of its entries: the one rule that the writer, the preview
// and the palette view all follow, so that what the dialog shows is what the file holds.
#include <cstdint>

#include "records/palette.h"

enum class PaletteAlpha : uint8_t {
  kOpaque,      // no tRNS chunk: every entry is opaque
  kEntryAlpha,  // tRNS holds each entry's alpha
  kKeyed,       // tRNS holds 0 for an entry of alpha 0 (the key colour, or one the user made clear), else 255
};

// For an image of this mode (WholeMode) and plane count saved as Palette with these options:
// - an alpha plane with "Alpha Channel" on, or a gray or indexed image with an alpha plane and either option:
//   each entry's alpha;
// - an RGB image with an alpha plane, "Alpha Channel" off and "Transparency as Key Color" on: keyed;
// - an indexed image whose colour table has a transparent entry in use (the host's transparent index): keyed;
// - otherwise opaque.
PaletteAlpha PaletteAlphaFor(int32_t mode, int32_t planes, bool alphaChannel, bool useKeyColor,
                             const PaletteRecord& palette);

// Whether an entry in use has alpha 0 (for an indexed image: the host's transparent index).
bool HasClearEntry(const PaletteRecord& palette);

// What the file says of one entry.
constexpr uint8_t SavedAlpha(const PaletteEntry& entry, PaletteAlpha how) {
  switch (how) {
    case PaletteAlpha::kEntryAlpha: return entry.alpha;
    case PaletteAlpha::kKeyed: return entry.alpha == 0 ? 0 : 255;
    case PaletteAlpha::kOpaque: break;
  }
  return 255;
}
