#include "records/whole_image.h"

#include "base/platform.h"

WholeImageRecord WholeImage;

void FreeWholeImagePixels() {
  platform::FreePages(WholeImage.pixels, WholeImage.pixelBytes);
  WholeImage.pixels = nullptr;
  WholeImage.pixelBytes = 0;
}
