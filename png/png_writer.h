#pragma once
// Encodes ReducedImage as a PNG file at TempPngPath. The only part of the plug-in that includes <png.h>.
#include <cstdint>
#include <cstdio>

#include "records/palette.h"
#include "records/palette_alpha.h"

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

// Writes the PNG into an open file and returns the file's size; 0 when the library reported an error
// (whatever was written so far stays in the file).
int32_t WritePng(FILE* file, const PngWriteJob& job);

// Encodes the current reduced image into TempPngPath; the file's size, 0 when it was not written.
int32_t CompressPNG();

// What CompressPNG returned last: a save must not copy in a file whose encoding failed.
extern int32_t LastCompressedSize;
