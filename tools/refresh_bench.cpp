// Times one preview refresh on a generated 3000 x 3000 RGBA image, DoFilter followed by CompressPNG, for the RGB
// type and for the Palette type with Diffusion, beside a bare libpng encoding of the same rows with the library's
// defaults in the same run, and prints their ratio. Prints figures; judges nothing.
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "png/png_writer.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/median_cut.h"
#include "reduce/reduce_filter.h"

#include "tools/bench_image.h"

namespace {

using bench::kHeight;
using bench::kSeed;
using bench::kWidth;
using bench::MakeImage;
constexpr int kRepeats = 3;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Wall-clock and processor time of one piece of work; on a busy machine the processor time is the steadier.
struct Sample {
  double wall = 0;
  double processor = 0;
};

template <typename Work>
Sample Measure(Work work) {
  const Clock::time_point start = Clock::now();
  const std::clock_t processorStart = std::clock();
  work();
  return Sample{MillisecondsSince(start), 1000.0 * static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC};
}

struct Timing {
  std::vector<Sample> runs;
  double Best(double Sample::*field) const {
    double best = runs.front().*field;
    for (const Sample& run : runs) best = std::min(best, run.*field);
    return best;
  }
};

void Report(const char* what, const Timing& timing, long bytes = -1) {
  std::printf("%-50s wall %8.1f ms   processor %8.1f ms", what, timing.Best(&Sample::wall),
              timing.Best(&Sample::processor));
  if (bytes >= 0) std::printf("   %9ld bytes", bytes);
  std::printf("\n");
  std::fflush(stdout);
}

void ReportRatio(const char* what, const Timing& refresh, const Timing& bare, const char* target) {
  std::printf("ratio %-44s wall %.3f   processor %.3f%s\n", what,
              refresh.Best(&Sample::wall) / bare.Best(&Sample::wall),
              refresh.Best(&Sample::processor) / bare.Best(&Sample::processor), target);
  std::fflush(stdout);
}

// The jump target alone in this frame, which holds nothing with a destructor.
bool EncodeGuarded(png_structp png, png_infop info, FILE* file, int colorType, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, kWidth, kHeight, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_color colors[256];
    for (int i = 0; i < Palette.count; ++i) {
      colors[i] = png_color{Palette.entries[i].red, Palette.entries[i].green, Palette.entries[i].blue};
    }
    png_set_PLTE(png, info, colors, Palette.count);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

// The classic API with nothing set but the header (and the palette): the library's default encoding.
long BareEncode(const std::string& path, const uint8_t* pixels, int32_t rowBytes, int colorType) {
  std::vector<png_bytep> rows(kHeight);
  for (int32_t y = 0; y < kHeight; ++y) rows[y] = const_cast<png_bytep>(pixels + static_cast<size_t>(y) * rowBytes);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return -1;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool written = EncodeGuarded(png, info, file, colorType, rows.data());
  png_destroy_write_struct(&png, &info);
  const long size = written ? std::ftell(file) : -1;
  std::fclose(file);
  return size;
}

// The simplified write API, for comparison: it adds an sRGB chunk but otherwise keeps the defaults.
long SimplifiedEncode(const std::string& path, const uint8_t* pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = kWidth;
  image.height = kHeight;
  image.format = PNG_FORMAT_RGBA;
  if (png_image_write_to_file(&image, path.c_str(), 0, pixels, 0, nullptr) == 0) return -1;
  return static_cast<long>(std::filesystem::file_size(path));
}

}  // namespace

int main() {
  // The writer's temporary file and the debug log go into a folder of the bench's own.
  char pattern[] = "/tmp/vexlorin-refresh-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::filesystem::path folder = pattern;
  std::filesystem::current_path(folder);
  const std::string tempPng = (folder / "image.png.temp").string();
  const std::string barePng = (folder / "bare.png").string();
  TempPngPath = platform::FromUtf8(tempPng);

  std::vector<uint8_t> pixels = MakeImage();
  WholeImage.pixels = pixels.data();
  WholeImage.pixelBytes = pixels.size();
  WholeImage._WholeWidth = kWidth;
  WholeImage._WholeHeight = kHeight;
  WholeImage._WholePlanesIn = 4;
  WholeImage.rowStride = kWidth * 4;
  WholeImage._WholeMode = 3;
  WholeImage.MinAlpha = 0;
  std::printf("image %d x %d RGBA, seed %u, libpng %s, best of %d runs\n", kWidth, kHeight, kSeed,
              PNG_LIBPNG_VER_STRING, kRepeats);
  std::fflush(stdout);

  // RGB type with the alpha channel (the defaults): the rows the writer gets are the image's own. The refresh
  // and the bare encode take turns, so a change in the machine's load reaches both alike.
  ResetSaveOptions();
  DoFilter();  // the first run also allocates the buffer
  long refreshBytes = 0;
  long bareBytes = 0;
  long simplifiedBytes = 0;
  Timing rgbFilter, rgbCompress, rgbRefresh, bare, simplified;
  for (int i = 0; i < kRepeats; ++i) {
    rgbFilter.runs.push_back(Measure([] { DoFilter(); }));
    rgbCompress.runs.push_back(Measure([&] { refreshBytes = CompressPNG().size; }));
    rgbRefresh.runs.push_back(Measure([&] {
      DoFilter();
      refreshBytes = CompressPNG().size;
    }));
    bare.runs.push_back(Measure([&] {
      bareBytes = BareEncode(barePng, ReducedImage.pixels, ReducedImage.rowBytes, PNG_COLOR_TYPE_RGB_ALPHA);
    }));
    simplified.runs.push_back(Measure([&] { simplifiedBytes = SimplifiedEncode(barePng, ReducedImage.pixels); }));
  }
  Report("RGB: DoFilter", rgbFilter);
  Report("RGB: CompressPNG", rgbCompress, refreshBytes);
  Report("RGB: refresh (DoFilter + CompressPNG)", rgbRefresh, refreshBytes);
  Report("bare libpng encode, same RGBA rows (classic API)", bare, bareBytes);
  Report("bare libpng encode, same rows (png_image_write)", simplified, simplifiedBytes);
  ReportRatio("RGB refresh / bare encode", rgbRefresh, bare, "   (target <= 1.10)");

  // Palette type with Diffusion: the first refresh builds the palette; later ones (after a change of dither or
  // fill colour) reuse it.
  SaveOptions.pngType = kPngPalette;
  SaveOptions.dither = kDiffusion;
  Palette.built = 0;
  Palette.builtCount = 256;
  Timing firstRefresh;
  firstRefresh.runs.push_back(Measure([&] {
    DoFilter();
    refreshBytes = CompressPNG().size;
  }));
  Report("Palette + Diffusion: first refresh, with the build", firstRefresh, refreshBytes);
  Timing paletteFilter, paletteCompress, paletteRefresh, paletteBare;
  for (int i = 0; i < kRepeats; ++i) {
    paletteFilter.runs.push_back(Measure([] { DoFilter(); }));
    paletteCompress.runs.push_back(Measure([&] { refreshBytes = CompressPNG().size; }));
    paletteRefresh.runs.push_back(Measure([&] {
      DoFilter();
      refreshBytes = CompressPNG().size;
    }));
    paletteBare.runs.push_back(Measure(
        [&] { bareBytes = BareEncode(barePng, ReducedImage.pixels, ReducedImage.rowBytes, PNG_COLOR_TYPE_PALETTE); }));
  }
  Report("Palette + Diffusion: DoFilter, palette current", paletteFilter);
  Report("Palette + Diffusion: CompressPNG", paletteCompress, refreshBytes);
  Report("Palette + Diffusion: refresh, palette current", paletteRefresh, refreshBytes);
  Report("bare libpng encode, same indices (classic API)", paletteBare, bareBytes);
  ReportRatio("Palette refresh / bare encode of its indices", paletteRefresh, paletteBare, "");
  ReportRatio("Palette refresh / bare RGBA encode above", paletteRefresh, bare, "");

  FreeReducedImagePixels();
  ReleaseColorMap();
  WholeImage.pixels = nullptr;
  std::filesystem::current_path("/");
  std::filesystem::remove_all(folder);
  return 0;
}
