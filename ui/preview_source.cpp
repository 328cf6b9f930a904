#include "ui/preview_source.h"

#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"

PreviewSource PreviewSourceFor(const SaveOptionsRecord& reducedWith) {
  const SaveOptionsRecord& options = reducedWith;
  PreviewSource source;
  source.pixels = ReducedImage.pixels;
  source.width = WholeImage._WholeWidth;
  source.height = WholeImage._WholeHeight;
  source.rowBytes = ReducedImage.rowBytes;
  source.bytesPerPixel = ReducedImage.bytesPerPixel;
  source.pngType = UsablePngType(options.pngType);
  source.palette = Palette.entries;
  source.paletteAlpha = PaletteAlphaFor(WholeImage._WholeMode, WholeImage._WholePlanesIn, options.alphaChannel != 0,
                                        options.useKeyColor != 0, Palette);
  return source;
}

PreviewSource OriginalPreviewSource(const WholeImageRecord& image, const PaletteEntry* colorTable) {
  PreviewSource source;
  source.pixels = image.pixels;
  source.width = image._WholeWidth;
  source.height = image._WholeHeight;
  source.rowBytes = image.rowStride;
  source.bytesPerPixel = image._WholePlanesIn;
  switch (image._WholeMode) {
    case kWholeGray: source.pngType = kPngGrayscale; break;
    case kWholeIndexed:
      source.pngType = kPngPalette;
      source.palette = colorTable;
      if (colorTable == nullptr) source.pixels = nullptr;  // nothing to read the indices through
      source.paletteAlpha = PaletteAlpha::kEntryAlpha;
      break;
    default: source.pngType = kPngRgb; break;
  }
  return source;
}
