#include "reduce/picture_psnr.h"

#include <cstddef>
#include <vector>

#include "base/row_bands.h"
#include "records/palette_alpha.h"
#include "reduce/color_sample.h"

namespace {

// Transparency the image has: an alpha plane with a pixel below 255 (or not measured yet).
bool HasTransparency(const WholeImageRecord& image) {
  return HasAlphaPlane(image._WholePlanesIn) && (image.MinAlpha < 255 || image.MinAlpha == 500);
}

uint8_t Over(uint8_t value, uint8_t alpha, uint8_t fill) {
  return static_cast<uint8_t>((value * alpha + fill * (255 - alpha) + 127) / 255);
}

// The image's pixel as the reference: red, green, blue and alpha.
void ReferencePixel(const WholeImageRecord& image, const PsnrBasis& basis, const uint8_t* in, uint8_t out[4]) {
  if (image._WholeMode == kWholeRgb) {
    SamplePixel(in, image._WholePlanesIn, basis.composite, basis.fill, out);
    return;
  }
  const uint8_t alpha = image._WholePlanesIn >= 2 ? in[1] : 255;
  if (basis.composite) {
    out[0] = Over(in[0], alpha, basis.fill.red);
    out[1] = Over(in[0], alpha, basis.fill.green);
    out[2] = Over(in[0], alpha, basis.fill.blue);
    out[3] = 255;
    return;
  }
  out[0] = out[1] = out[2] = in[0];
  out[3] = alpha;
}

}  // namespace

PsnrBasis PsnrBasisFor(const WholeImageRecord& image, const FilterSettings& settings) {
  PsnrBasis basis;
  const bool keeps = settings.alphaMode || settings.keyColorMode;
  basis.withAlpha = keeps && HasTransparency(image);
  basis.composite = HasAlphaPlane(image._WholePlanesIn) && !keeps;
  basis.fill = RgbColor{static_cast<uint8_t>(settings.fillRed), static_cast<uint8_t>(settings.fillGreen),
                        static_cast<uint8_t>(settings.fillBlue)};
  if (image._WholeMode == kWholeGray) {
    const uint8_t gray = static_cast<uint8_t>(settings.fillGray);
    basis.fill = RgbColor{gray, gray, gray};
  }
  return basis;
}

double PictureDb(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
                 const uint8_t* rows, int32_t rowBytes) {
  const bool gray = image._WholeMode == kWholeGray;
  if ((!gray && (image._WholeMode != kWholeRgb || image._WholePlanesIn < 3)) || rows == nullptr) return -1;
  const int32_t bytes = settings.bytesPerPixel;
  const bool paletteRows = settings.pngType == kPngPalette;
  if (rowBytes < image._WholeWidth * bytes) return -1;
  const PaletteAlpha how =
      PaletteAlphaFor(image._WholeMode, image._WholePlanesIn, settings.alphaChannel, settings.keyColorMode, palette);
  const PsnrBasis basis = PsnrBasisFor(image, settings);
  RowBands bands;
  bands.height = image._WholeHeight;
  bands.bandRows = BandRowsFor(image._WholeWidth);
  bands.threads = ReductionThreads();
  // One meter per band, summed in band order: the same figure on any number of threads.
  std::vector<PsnrMeter> meters(static_cast<size_t>(bands.Count()), PsnrMeter(basis.withAlpha));
  const auto band = [&](int32_t, int32_t first, int32_t end) {
    PsnrMeter& meter = meters[static_cast<size_t>(first / bands.bandRows)];
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* in = image.pixels + static_cast<size_t>(y) * image.rowStride;
      const uint8_t* row = rows + static_cast<size_t>(y) * rowBytes;
      for (int32_t x = 0; x < image._WholeWidth; ++x, in += image._WholePlanesIn, row += bytes) {
        uint8_t source[4];
        ReferencePixel(image, basis, in, source);
        uint8_t written[4] = {row[0], row[0], row[0], 255};
        if (paletteRows) {
          const PaletteEntry& entry = palette.entries[row[0]];
          written[0] = entry.red;
          written[1] = entry.green;
          written[2] = entry.blue;
          written[3] = SavedAlpha(entry, how);
        } else if (bytes == 2) {
          written[3] = row[1];
        } else if (bytes >= 3) {
          written[1] = row[1];
          written[2] = row[2];
          if (bytes == 4) written[3] = row[3];
        }
        meter.Add(source, written);
      }
    }
  };
  RunRowBands(bands, band, [](int32_t) { return true; });
  PsnrMeter total(basis.withAlpha);
  for (const PsnrMeter& meter : meters) total.Merge(meter);
  return total.Db();
}
