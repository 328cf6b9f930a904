#pragma once
// What one reduction run derives from the image and the options before it converts a pixel, and what the Palette
// type of an RGB image is matched against.
#include <cstdint>

#include "records/color_map.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/shared_matches.h"

// In key-colour mode a pixel below this alpha is transparent, and Diffusion measures alpha errors from it.
constexpr int32_t kKeyColorAlpha = 127;

// What a run derives from the image and the options before it converts a pixel. The options' type, dither
// and colour count are brought into their usable ranges here.
struct FilterSettings {
  int32_t mode = 0;    // _WholeMode
  int32_t planes = 0;  // _WholePlanesIn
  int8_t pngType = kPngRgb;
  uint8_t dither = kNoDither;
  int32_t paletteColors = 256;
  // A Palette of an RGB image with a quality: its count is the one the search chooses (paletteColors is then 256).
  int32_t paletteQuality = 0;
  bool alphaChannel = false;        // the option itself
  bool alphaMode = false;           // alpha plane kept as alpha (alphaChannel wins over useKeyColor)
  bool keyColorMode = false;        // transparency becomes the last palette entry
  bool transparencyDither = false;  // keyColorDither in force
  bool alphaWeighted = false;       // a refined palette with alpha: matched and dithered premultiplied
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
