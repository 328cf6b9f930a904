#include "records/color_map.h"

AColorHistEntry* ColorMap = nullptr;

void ReleaseColorMap() {
  delete[] ColorMap;
  ColorMap = nullptr;
}
