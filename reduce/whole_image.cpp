#include "reduce/whole_image.h"

#include "host/platform.h"

WholeImageRecord WholeImage;

void FreeWholeImagePixels() {
  platform::FreePages(WholeImage.pixels, WholeImage.pixelBytes);
  WholeImage.pixels = nullptr;
  WholeImage.pixelBytes = 0;
}
