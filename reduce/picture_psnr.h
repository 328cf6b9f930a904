#pragma once
// The PSNR of a reduction's rows (the picture the PNG decodes to) against the image they were made of: over R, G
// and B for an opaque image; over premultiplied R, G, B and A where the image has transparency and the file keeps
// it. Where the file cannot keep the transparency (Alpha Channel and Key Color off), the picture is compared
// with the image laid over the fill colour, as the file is made to show it: no count of colours could bring
// back an alpha the file does not hold.
#include <cstdint>

#include "records/color.h"
#include "records/palette.h"
#include "records/whole_image.h"
#include "reduce/filter_settings.h"
#include "reduce/psnr.h"

// What the rows of one run are compared with, and how.
struct PsnrBasis {
  bool withAlpha = false;  // premultiplied RGBA; otherwise RGB
  bool composite = false;  // the image over the fill colour
  RgbColor fill{};
};
PsnrBasis PsnrBasisFor(const WholeImageRecord& image, const FilterSettings& settings);

// The PSNR of rows of the settings' pixel size (a Palette run's indices read through the palette as the file
// states them) against a gray or RGB image; -1 for an image of another mode (an indexed image's
// own colours are not kept to compare with) or rows of a size that cannot be read.
double PictureDb(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
                 const uint8_t* rows, int32_t rowBytes);
