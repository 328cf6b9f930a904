#pragma once
// Where the preview control finds the image it shows: the reduction's output as the records hold it now.
#include "records/save_options.h"
#include "widgets/preview_pixels.h"

// The shared ReducedImage, WholeImage and Palette as they stand now, read as rows reduced with `reducedWith`.
PreviewSource PreviewSourceFor(const SaveOptionsRecord& reducedWith);
