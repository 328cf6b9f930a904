#pragma once
// Where the preview control finds the image it shows: the reduction's output as the records hold it now.
#include "widgets/preview_pixels.h"

// The shared ReducedImage, WholeImage, Palette and SaveOptions as they stand now.
PreviewSource SharedPreviewSource();
