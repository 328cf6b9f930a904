#pragma once
// Where the preview control finds the images it shows: the reduction's output as the records hold it now, and
// the image it was made from.
#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "widgets/preview_pixels.h"

// The shared ReducedImage, WholeImage and Palette as they stand now, read as rows reduced with `reducedWith`.
PreviewSource PreviewSourceFor(const SaveOptionsRecord& reducedWith);

// The image before reduction, as 2-Up shows it: `image` (the document's, or the one converted to sRGB) read as it
// is, an indexed one through `colorTable` (256 entries, its transparent entry at alpha 0).
PreviewSource OriginalPreviewSource(const WholeImageRecord& image, const PaletteEntry* colorTable);
