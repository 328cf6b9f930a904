#pragma once
// Encodes a reduced image as a PNG file. The only part of the plug-in that includes <png.h>.
#include <cstdint>
#include <cstdio>

#include "base/platform.h"
#include "base/progress.h"
#include "records/palette.h"
#include "records/palette_alpha.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"

// Everything one encoding reads, so tests can encode without the process-wide records.
struct PngWriteJob {
  const uint8_t* pixels = nullptr;
  int32_t rowBytes = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pngType = 0;         // 0 Grayscale, 1 Palette, 2 RGB
  bool hasAlphaPlane = false;  // with alphaChannel: Grayscale and RGB keep the alpha plane
  bool alphaChannel = false;
  PaletteAlpha paletteAlpha = PaletteAlpha::kOpaque;  // Palette: what tRNS says of each entry, if written at all
  int32_t fillColor = 0;                              // 0x00BBGGRR
  const PaletteRecord* palette = nullptr;
};

// The encoding of these rows, reduced from the image for the options, with this palette. Null pixels when the
// rows are not to be encoded (absent, or left by a reduction that stopped).
PngWriteJob PngWriteJobFor(const WholeImageRecord& image, const SaveOptionsRecord& options,
                           const PaletteRecord& palette, const ReducedImageRecord& reduced);

// Writes the PNG into an open file and returns the file's size; 0 when the library reported an error or the
// report asked to stop (whatever was written so far stays in the file). Each row written is reported as done
// out of 2 x height, after the reduction's half.
int32_t WritePng(FILE* file, const PngWriteJob& job, const ProgressReport& progress = Progress);

// Encodes the job into a new file at path; the file's size, 0 when it was not written (nothing to encode, the
// file could not be made, the library failed or the report asked to stop).
int32_t EncodePngFile(const platform::WidePath& path, const PngWriteJob& job, const ProgressReport& progress);

// Encodes the process-wide ReducedImage into TempPngPath; the file's size, 0 when it was not written.
int32_t CompressPNG();

// What CompressPNG returned last: a save must not copy in a file whose encoding failed.
extern int32_t LastCompressedSize;
