#include "records/whole_image.h"

#include "base/platform.h"

WholeImageRecord WholeImage;
WholeImageRecord SrgbImage;
WholeImage16Record WholeImage16;
WholeImage16Record SrgbImage16;

namespace {

void FreeSamples(WholeImage16Record& image) {
  platform::FreePages(image.samples, image.sampleBytes);
  image = WholeImage16Record{};
}

}  // namespace

void FreeSrgbImagePixels() {
  platform::FreePages(SrgbImage.pixels, SrgbImage.pixelBytes);
  SrgbImage = WholeImageRecord{};
  FreeSamples(SrgbImage16);
}

void FreeWholeImagePixels() {
  platform::FreePages(WholeImage.pixels, WholeImage.pixelBytes);
  WholeImage.pixels = nullptr;
  WholeImage.pixelBytes = 0;
  WholeImage.documentDepth = 8;
  FreeSamples(WholeImage16);
}

bool SixteenBitsApply(int8_t pngType) {
  return WholeImage.documentDepth == 16 && UsablePngType(pngType) != kPngPalette;
}

const WholeImage16Record* Image16ToEncode(const SaveOptionsRecord& options) {
  if (options.sixteenBits == 0 || !SixteenBitsApply(options.pngType)) return nullptr;
  const WholeImage16Record& image =
      options.convertToSrgb != 0 && SrgbImage.pixels != nullptr ? SrgbImage16 : WholeImage16;
  return image.samples != nullptr ? &image : nullptr;
}
