#include "widgets/artwork_scale.h"

#include "resources/resource_ids.h"

ArtworkScale ArtworkScaleForDpi(int dpi) {
  if (dpi <= 96) return ArtworkScale::k100;
  if (dpi <= 144) return ArtworkScale::k150;
  return ArtworkScale::k200;
}

int ArtworkScalePercent(ArtworkScale scale) {
  switch (scale) {
    case ArtworkScale::k150: return 150;
    case ArtworkScale::k200: return 200;
    case ArtworkScale::k100: break;
  }
  return 100;
}

int ArtworkResourceId(int id100, ArtworkScale scale) {
  switch (scale) {
    case ArtworkScale::k150: return id100 + IDB_SCALE_150_OFFSET;
    case ArtworkScale::k200: return id100 + IDB_SCALE_200_OFFSET;
    case ArtworkScale::k100: break;
  }
  return id100;
}

int ArtworkScaledSize(int size100, ArtworkScale scale) {
  const int doubled = size100 * ArtworkScalePercent(scale) / 50;  // twice the exact size, a whole number
  int size = doubled / 2;
  // The generator rounds with Python's round(): an exact half goes to the even neighbour.
  if (doubled % 2 != 0 && size % 2 != 0) ++size;
  return size;
}
