#include "records/whole_image.h"

#include "base/platform.h"

WholeImageRecord WholeImage;
WholeImageRecord SrgbImage;

void FreeSrgbImagePixels() {
  platform::FreePages(SrgbImage.pixels, SrgbImage.pixelBytes);
  SrgbImage = WholeImageRecord{};
}

void FreeWholeImagePixels() {
  platform::FreePages(WholeImage.pixels, WholeImage.pixelBytes);
  WholeImage.pixels = nullptr;
  WholeImage.pixelBytes = 0;
}
