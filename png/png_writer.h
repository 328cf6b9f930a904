#pragma once
// Encodes a reduced image as a PNG file. The only part of the plug-in that includes <png.h>.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/progress.h"
#include "png/color_chunk.h"
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
  // Grayscale and RGB: with these samples the file has 16 bits per channel, made from them (png/sixteen_bit_rows)
  // rather than from the 8-bit pixels above, which then only say that there is something to encode.
  const WholeImage16Record* image16 = nullptr;
  bool SixteenBits() const { return image16 != nullptr && pngType != kPngPalette; }
  bool smallest = false;  // the same picture in the fewest bytes (png/png_optimize) instead of the Standard file
  // What the file says of its colours (png/color_chunk.h); for iCCP, the profile, its colour space and its name.
  ColorChunk colorChunk = ColorChunk::kNone;
  const std::vector<uint8_t>* iccProfile = nullptr;
  IccColorSpace iccSpace = IccColorSpace::kOther;
  std::string iccpKeyword;
  // With Metadata on: the resolution in pixels per metre (0: not written) and the XMP packet (null: not written).
  uint32_t pixelsPerMetreX = 0;
  uint32_t pixelsPerMetreY = 0;
  const std::string* xmp = nullptr;
};

// The keyword of the iTXt chunk that holds a document's XMP, as every XMP reader looks for it.
inline constexpr char kXmpKeyword[] = "XML:com.adobe.xmp";

// Pixels per inch in 16.16 fixed point, as the host states a resolution, to whole pixels per metre; 0 for none.
uint32_t PixelsPerMetre(int32_t fixedPixelsPerInch);

// The encoding of these rows, reduced from the image for the options, with this palette, saying what the document's
// profile (DocumentInfo, as the host handed it) lets the file say of its colours. Null pixels when the
// rows are not to be encoded (absent, or left by a reduction that stopped).
// `image16`: the 16-bit samples of the same image (Image16ToEncode) for a 16-bit file, or null for an 8-bit one.
PngWriteJob PngWriteJobFor(const WholeImageRecord& image, const SaveOptionsRecord& options,
                           const PaletteRecord& palette, const ReducedImageRecord& reduced,
                           const WholeImage16Record* image16 = nullptr);

// How one encoding ended: the file is the PNG, or it is not because something failed (the file could not be
// made or written, the library reported an error, there was nothing to encode), or because the report asked to
// stop part-way (the host's abort).
enum class [[nodiscard]] PngStatus{Ok, Failed, Aborted};

// What one encoding came to: its status, and the file's size when it is Ok (0 otherwise).
struct PngResult {
  PngStatus status = PngStatus::Failed;
  int32_t size = 0;
};

// Writes the PNG into an open file (whatever was written before a failure or a stop stays in the file). Each row
// written is reported as done out of 2 x height, after the reduction's half.
[[nodiscard]] PngResult WritePng(FILE* file, const PngWriteJob& job, const ProgressReport& progress = Progress);

// Encodes the job into a new file at path, the Standard file or the smallest; Failed also when there is nothing to
// encode (null pixels). A smallest file that cannot be made for want of memory is written as the Standard one.
[[nodiscard]] PngResult EncodePngFile(const platform::WidePath& path, const PngWriteJob& job,
                                      const ProgressReport& progress);

// Encodes the process-wide ReducedImage into TempPngPath, reporting through Progress, and keeps the size in
// LastCompressedSize.
PngResult CompressPNG();

// The size of the last encoding CompressPNG made, 0 when it was not Ok: a save must not copy in a file whose
// encoding failed.
extern int32_t LastCompressedSize;
