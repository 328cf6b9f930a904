#include "reduce/palette.h"

PaletteRecord Palette;
