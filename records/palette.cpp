#include "records/palette.h"

PaletteRecord Palette;
