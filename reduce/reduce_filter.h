#pragma once
// Reduces an image into the rows of the PNG for a set of options (and, for the Palette type, a palette).
#include <cstdint>

#include "base/progress.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/color_hash.h"
#include "reduce/shared_matches.h"

enum class [[nodiscard]] ReduceStatus{Ok, OutOfMemory, NoPalette, Aborted};

// What one reduction reads and writes: the image and the options it reads, the palette and colour map it
// prepares (the map is owned, delete[], and replaced when the palette is built anew), the rows it writes.
struct ReductionRecords {
  const WholeImageRecord& image;
  const SaveOptionsRecord& options;
  PaletteRecord& palette;
  AColorHistEntry*& colorMap;
  ReducedImageRecord& reduced;
};

// Prepares the palette where the type asks for one (the gray ramp, or a median cut when the palette is not
// built) and calls paletteReady (when given) once it is, then writes every row, reporting each. The reduced
// record is marked stale unless every row was written.
ReduceStatus ReduceImage(const ReductionRecords& records, const ProgressReport& progress, void (*paletteReady)());

// ReduceImage over the process-wide WholeImage, SaveOptions, Palette, ColorMap and ReducedImage, reporting
// through Progress and telling a palette view of a prepared palette. False only when the report asked to stop
// (the host's abort); rows that could not be made for another reason are left stale, for the encoding to refuse.
bool DoFilter();

// The work behind DoFilter, in plain functions over what they are given.

// What a run derives from the image and the options before it converts a pixel. The options' type, dither
// and colour count are brought into their usable ranges here.
struct FilterSettings {
  int32_t mode = 0;    // _WholeMode
  int32_t planes = 0;  // _WholePlanesIn
  int8_t pngType = kPngRgb;
  uint8_t dither = kNoDither;
  int32_t paletteColors = 256;
  bool alphaChannel = false;        // the option itself
  bool alphaMode = false;           // alpha plane kept as alpha (alphaChannel wins over useKeyColor)
  bool keyColorMode = false;        // transparency becomes the last palette entry
  bool transparencyDither = false;  // keyColorDither in force
  int32_t bytesPerPixel = 1;
  int32_t fillRed = 0;
  int32_t fillGreen = 0;
  int32_t fillBlue = 0;
  int32_t fillGray = 0;
  int32_t minAlpha = 500;
};
FilterSettings FilterSettingsFor(const WholeImageRecord& image, const SaveOptionsRecord& options);

// Whether the fill colour shows in the pixels a run writes: transparency that the file does not keep is laid over
// it. `clearEntry`: an indexed image's colour table has a transparent entry in use.
bool FillColorShows(const FilterSettings& settings, bool clearEntry);

// What the Palette type of an RGB image is matched against.
struct PaletteMatch {
  const AColorHistEntry* colorMap = nullptr;
  int32_t count = 0;        // entries in use; the last one is where transparent pixels go
  int32_t searchCount = 0;  // entries the nearest-colour search looks at
  bool useMatchCache = true;
  SharedMatches* shared = nullptr;  // answers shared with the other threads of the run
};
// Leaves the transparent last entry out of the search where only the transparency rules may reach it.
PaletteMatch PaletteMatchFor(const FilterSettings& settings, const AColorHistEntry* colorMap, int32_t count);

// How ReduceRows spreads its rows: over `threads` threads in bands of `bandRows` rows (0: a size chosen for the
// width). One thread, or the Palette type of an RGB image with Diffusion, goes row by row on the calling thread.
struct RowSpread {
  int32_t threads = 1;
  int32_t bandRows = 0;
};

// Writes every row of the image into pixels (rows of _WholeWidth × bytesPerPixel bytes), the same bytes however
// the rows are spread, and reports the rows done against 2 × height (the last row done, from 0) on the calling
// thread: after each row in order, after bands as they finish otherwise. Stops with Aborted when the report
// answers false. Not all rows are written when the status is not Ok.
ReduceStatus ReduceRows(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
                        const PaletteMatch& match, uint8_t* pixels, const ProgressReport& progress,
                        const RowSpread& spread = RowSpread());

// Gives the record a zero-filled buffer of height + 2 rows for the pixel size, keeping the one it has when the
// pixel size and the image size are unchanged; false when the memory cannot be had.
bool PrepareReducedImage(ReducedImageRecord& reduced, int32_t width, int32_t height, int32_t bytesPerPixel);
