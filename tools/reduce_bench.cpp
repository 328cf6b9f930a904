// Times the reduction on a large generated RGBA image: DoFilter for each PNG type, the Palette type with each
// dither, and the palette build alone. Prints figures; judges nothing.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/median_cut.h"
#include "reduce/reduce_filter.h"

#include "tools/bench_image.h"

namespace {

using bench::kHeight;
using bench::kSeed;
using bench::kWidth;
using bench::MakeImage;

double Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double PerTenMegapixels(double milliseconds) { return milliseconds * 10.0e6 / (static_cast<double>(kWidth) * kHeight); }

void Report(const char* what, double milliseconds) {
  std::printf("%-44s %9.1f ms   %9.1f ms per 10 MP\n", what, milliseconds, PerTenMegapixels(milliseconds));
  std::fflush(stdout);
}

double TimeDoFilter() {
  const auto start = std::chrono::steady_clock::now();
  DoFilter();
  return Milliseconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main() {
  std::vector<uint8_t> pixels = MakeImage();
  WholeImage.pixels = pixels.data();
  WholeImage.pixelBytes = pixels.size();
  WholeImage._WholeWidth = kWidth;
  WholeImage._WholeHeight = kHeight;
  WholeImage._WholePlanesIn = 4;
  WholeImage.rowStride = kWidth * 4;
  WholeImage._WholeMode = 3;
  WholeImage.MinAlpha = 0;
  std::printf("image %d x %d RGBA, seed %u\n", kWidth, kHeight, kSeed);
  std::fflush(stdout);

  ResetSaveOptions();
  SaveOptions.fillColor = 0x00FFFFFF;
  struct Flat {
    const char* name;
    int8_t type;
    int8_t alphaChannel;
  };
  const Flat flats[] = {
      {"DoFilter Grayscale, alpha channel", kPngGrayscale, 1},
      {"DoFilter Grayscale, over the fill colour", kPngGrayscale, 0},
      {"DoFilter RGB, alpha channel", kPngRgb, 1},
      {"DoFilter RGB, over the fill colour", kPngRgb, 0},
  };
  for (const Flat& flat : flats) {
    SaveOptions.pngType = flat.type;
    SaveOptions.alphaChannel = flat.alphaChannel;
    TimeDoFilter();  // the first run also allocates the buffer
    Report(flat.name, TimeDoFilter());
  }

  SaveOptions.pngType = kPngPalette;
  SaveOptions.paletteColors = 256;
  SaveOptions.alphaChannel = 1;
  SaveOptions.useKeyColor = 0;
  SaveOptions.keyColorDither = 1;
  Palette.built = 0;
  Palette.builtCount = 256;
  auto start = std::chrono::steady_clock::now();
  ReleaseColorMap();
  ColorMap = CreateColorPalette();
  Palette.built = 1;
  Report("CreateColorPalette (256 colours)", Milliseconds(std::chrono::steady_clock::now() - start));

  const char* ditherNames[4] = {"No Dither", "Diffusion", "Pattern", "Noise"};
  char line[96];
  for (const int8_t alphaChannel : {int8_t{1}, int8_t{0}}) {
    SaveOptions.alphaChannel = alphaChannel;
    SaveOptions.useKeyColor = alphaChannel ? 0 : 1;
    for (uint8_t dither = kNoDither; dither <= kNoise; ++dither) {
      SaveOptions.dither = dither;
      std::snprintf(line, sizeof line, "DoFilter Palette, %s, %s", ditherNames[dither],
                    alphaChannel ? "alpha channel" : "key colour");
      Report(line, TimeDoFilter());
    }
  }

  FreeReducedImagePixels();
  ReleaseColorMap();
  WholeImage.pixels = nullptr;
  return 0;
}
