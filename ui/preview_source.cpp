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
