#pragma once
// The preview's image as the tests show it: the shared records read with SaveOptions, the rows of a reduction
// that ran with the options as they stand.
#include "records/save_options.h"
#include "ui/preview_source.h"

inline PreviewSource SharedPreviewSource() { return PreviewSourceFor(SaveOptions); }
