// Times what the preview dialog does after every change of an option: a full refresh, DoFilter followed by
// CompressPNG, on one image file, and sets it beside a bare libpng encode of the same pixels and beside pngquant.
// Prints figures and never fails on one: only when it cannot do its work (or, for size, when a Smallest file's
// pixels differ) does it exit with 1. Driven by scripts/bench.
//
//   vexlorin_bench generate gradient|noise|scene W H OUT.png   writes a generated test image
//   vexlorin_bench time IN.png [--runs N] [--pngquant PATH]    times every PNG type and dither on IN.png
//   vexlorin_bench once IN.png gray|rgb|palette [DITHER]        one refresh, then the process's peak memory
//   vexlorin_bench reencode IN.png OUT.png                      decodes IN.png and writes its pixels with a
//                                                               bare libpng encode: what a save is set beside
//   vexlorin_bench bands IN.png [--runs N]                      the reduction on one thread and on all
//   vexlorin_bench quality IN.png [--colors N]... [--dither none|diffusion]... [--runs N] [--pngquant PATH]
//                                    the Palette type's PSNR, size and time, median cut and refined palette,
//                                    beside pngquant's (default 256, 64 and 16 colours, both dithers)
//   vexlorin_bench size [--runs N] [--optipng PATH] [--zopflipng PATH] [--label TEXT] IN.png...
//                                    the Standard and the Smallest file of an RGB and a Palette save of each
//                                    image beside optipng -o2 and zopflipng, bytes, times and a pixel check
//
// DITHER is none, diffusion, pattern or noise (default diffusion). Every mode writes its files into the
// working folder (refresh.png, bare.png, pngquant.png, the quality files named by method, colours and dither,
// the size files named by image, save and file, and the plug-in's log VexlorinLog.txt).
#include <png.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/row_bands.h"
#include "png/png_writer.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/median_cut.h"
#include "reduce/reduce_filter.h"
#include "tools/bench_child.h"
#include "tools/bench_clock.h"
#include "tools/bench_records.h"
#include "tools/palette_quality.h"
#include "tools/smallest_size.h"

namespace {

using bench::Best;
using bench::Clock;
using bench::CpuSeconds;
using bench::ForgetPalette;
using bench::LoadWholeImage;
using bench::ReleaseAll;
using bench::Seconds;

double Megabytes(double bytes) { return bytes / 1.0e6; }

// ---- generated images ---------------------------------------------------------------------------------------

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return h;
}

// Smooth lattice noise in 0..1.
double ValueNoise(double x, double y, uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int32_t ix = static_cast<int32_t>(fx);
  const int32_t iy = static_cast<int32_t>(fy);
  double tx = x - fx;
  double ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  auto corner = [&](int32_t dx, int32_t dy) { return (Hash(ix + dx, iy + dy, seed) & 0xFFFF) / 65535.0; };
  const double top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * tx;
  const double bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * tx;
  return top + (bottom - top) * ty;
}

// Fractal noise in about 0..1: octaves of lattice noise, each twice as fine and half as strong.
double Fractal(double x, double y, int octaves, uint32_t seed) {
  double sum = 0;
  double weight = 0.5;
  double total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + static_cast<uint32_t>(i)) * weight;
    total += weight;
    x *= 2.03;
    y *= 2.03;
    weight *= 0.5;
  }
  return sum / total;
}

uint8_t Clamp8(double value) { return static_cast<uint8_t>(std::min(255.0, std::max(0.0, value))); }

double Mix(double a, double b, double t) { return a + (b - a) * t; }

double SmoothStep(double edge0, double edge1, double x) {
  const double t = std::min(1.0, std::max(0.0, (x - edge0) / (edge1 - edge0)));
  return t * t * (3 - 2 * t);
}

// Smooth gradients in every channel, no noise: the easy case for both the palette and the deflate stage.
void Gradient(int32_t width, int32_t height, std::vector<uint8_t>& pixels) {
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
      const double dx = x - width * 0.7;
      const double dy = y - height * 0.3;
      const double radial = std::sqrt(dx * dx + dy * dy) / std::sqrt(double(width) * width + double(height) * height);
      p[0] = Clamp8(255.0 * x / (width - 1));
      p[1] = Clamp8(255.0 * y / (height - 1));
      p[2] = Clamp8(255.0 * (1.0 - radial * 1.6));
    }
  }
}

// Independent random bytes: nothing for deflate to find and a different colour in almost every pixel.
void Noise(std::vector<uint8_t>& pixels) {
  uint64_t state = 0x9E3779B97F4A7C15ull;
  for (uint8_t& byte : pixels) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    byte = static_cast<uint8_t>(state >> 24);
  }
}

// A landscape photograph as it might come out of a camera, cut out of its background: sky with clouds, sun,
// hills with texture, a lake, sensor grain; a feathered oval vignette that fades to fully transparent outside,
// and a half-transparent glass disc.
void Scene(int32_t width, int32_t height, std::vector<uint8_t>& pixels) {
  const double scale = 1.0 / std::max(width, height);
  uint64_t grain = 0x2545F4914F6CDD1Dull;
  for (int32_t y = 0; y < height; ++y) {
    const double v = static_cast<double>(y) / height;
    for (int32_t x = 0; x < width; ++x) {
      const double u = static_cast<double>(x) / width;
      const double nx = x * scale;
      const double ny = y * scale;
      double r, g, b;
      const double horizon = 0.52 + 0.10 * (Fractal(nx * 3.0, 0.5, 4, 11) - 0.5) - 0.05 * std::sin(u * 5.0);
      const double lake = 0.80;
      if (v < horizon) {
        // Sky: deep blue to a pale haze at the horizon, clouds, and a sun glow.
        const double t = v / horizon;
        r = Mix(40, 200, t * t);
        g = Mix(90, 215, t);
        b = Mix(190, 235, t);
        const double cloud = SmoothStep(0.52, 0.75, Fractal(nx * 4.0, ny * 9.0, 6, 23));
        r = Mix(r, 245, cloud * 0.85);
        g = Mix(g, 245, cloud * 0.85);
        b = Mix(b, 250, cloud * 0.85);
        const double sx = u - 0.72;
        const double sy = (v - 0.22) * height / width;
        const double sun = std::exp(-(sx * sx + sy * sy) * 900.0);
        r = Mix(r, 255, sun);
        g = Mix(g, 240, sun);
        b = Mix(b, 200, sun);
      } else if (v < lake) {
        // Hills: green and brown fields, darker and more detailed towards the viewer.
        const double depth = (v - horizon) / (lake - horizon);
        const double field = Fractal(nx * 12.0, ny * 30.0, 6, 37);
        const double detail = Fractal(nx * 90.0, ny * 90.0, 3, 41);
        r = Mix(110, 70, depth) + 60 * (field - 0.5) + 30 * (detail - 0.5);
        g = Mix(140, 110, depth) + 50 * (field - 0.5) + 25 * (detail - 0.5);
        b = Mix(120, 50, depth) + 20 * (field - 0.5);
        const double haze = std::exp(-depth * 6.0) * 0.5;
        r = Mix(r, 200, haze);
        g = Mix(g, 215, haze);
        b = Mix(b, 235, haze);
      } else {
        // Lake: a rippled, darkened reflection of the sky.
        const double ripple = Fractal(nx * 6.0, ny * 120.0, 4, 53);
        const double t = (v - lake) / (1 - lake);
        r = Mix(90, 30, t) + 40 * (ripple - 0.5);
        g = Mix(120, 60, t) + 40 * (ripple - 0.5);
        b = Mix(160, 100, t) + 50 * (ripple - 0.5);
      }
      grain ^= grain << 13;
      grain ^= grain >> 7;
      grain ^= grain << 17;
      const double sensor = static_cast<double>(static_cast<int32_t>(grain >> 61) - 4);  // -4 .. +3
      // Oval vignette: opaque inside, a feathered edge, transparent outside.
      const double ex = (u - 0.5) / 0.47;
      const double ey = (v - 0.5) / 0.45;
      const double edge = std::sqrt(ex * ex + ey * ey);
      double alpha = 255.0 * (1.0 - SmoothStep(0.90, 1.0, edge));
      // A glass disc over the hills.
      const double gx = (u - 0.28) * width;
      const double gy = (v - 0.62) * height;
      if (gx * gx + gy * gy < std::pow(height * 0.09, 2)) alpha = std::min(alpha, 128.0);
      uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
      p[0] = Clamp8(r + sensor);
      p[1] = Clamp8(g + sensor);
      p[2] = Clamp8(b + sensor);
      p[3] = Clamp8(alpha);
    }
  }
}

int Generate(const std::string& kind, int32_t width, int32_t height, const std::string& out) {
  const int channels = kind == "scene" ? 4 : 3;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
  if (kind == "gradient") {
    Gradient(width, height, pixels);
  } else if (kind == "noise") {
    Noise(pixels);
  } else if (kind == "scene") {
    Scene(width, height, pixels);
  } else {
    std::fprintf(stderr, "vexlorin_bench: unknown image kind %s\n", kind.c_str());
    return 2;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, out.c_str(), 0, pixels.data(), 0, nullptr)) {
    std::fprintf(stderr, "vexlorin_bench: cannot write %s: %s\n", out.c_str(), image.message);
    return 1;
  }
  return 0;
}

const char* const kDitherNames[4] = {"No Dither", "Diffusion", "Pattern", "Noise"};
const char* const kTypeNames[3] = {"Grayscale", "Palette", "RGB"};

// Options as a first save leaves them (alpha channel, key colour and transparency dither on, fill colour
// black), with the type and dither given.
void SetOptions(int8_t type, uint8_t dither) {
  ResetSaveOptions();
  SaveOptions.pngType = type;
  SaveOptions.dither = dither;
}

// Wall and processor seconds of the two halves of a refresh.
struct RefreshTime {
  double filter = 0;
  double compress = 0;
  double filterCpu = 0;
  double compressCpu = 0;
  int32_t size = 0;
  double total() const { return filter + compress; }
  double totalCpu() const { return filterCpu + compressCpu; }
};

RefreshTime Refresh() {
  RefreshTime time;
  const auto start = Clock::now();
  const double startCpu = CpuSeconds();
  DoFilter();
  const auto filtered = Clock::now();
  const double filteredCpu = CpuSeconds();
  time.size = CompressPNG().size;
  time.filter = Seconds(filtered - start);
  time.compress = Seconds(Clock::now() - filtered);
  time.filterCpu = filteredCpu - startCpu;
  time.compressCpu = CpuSeconds() - filteredCpu;
  return time;
}

// Collects runs of a refresh and keeps the best of each half.
struct RefreshRuns {
  std::vector<double> filters, compresses, filterCpus, compressCpus;
  RefreshTime last;
  void Add(const RefreshTime& time) {
    last = time;
    filters.push_back(time.filter);
    compresses.push_back(time.compress);
    filterCpus.push_back(time.filterCpu);
    compressCpus.push_back(time.compressCpu);
  }
  RefreshTime Result() const {
    RefreshTime best = last;
    best.filter = Best(filters);
    best.compress = Best(compresses);
    best.filterCpu = Best(filterCpus);
    best.compressCpu = Best(compressCpus);
    return best;
  }
};

// Best of runs; the palette is built again before each run when rebuildPalette is set.
RefreshTime TimeRefresh(int runs, bool rebuildPalette) {
  RefreshRuns collected;
  for (int i = 0; i < runs; ++i) {
    if (rebuildPalette) ForgetPalette();
    collected.Add(Refresh());
  }
  return collected.Result();
}

// libpng with every setting at its default, the same pixels, written to a file as CompressPNG writes its own.
int64_t BareEncode(const char* path) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return 0;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return 0;
  }
  png_init_io(png, file);
  static const int kColorTypes[5] = {0, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                     PNG_COLOR_TYPE_RGB_ALPHA};
  png_set_IHDR(png, info, static_cast<png_uint_32>(WholeImage._WholeWidth),
               static_cast<png_uint_32>(WholeImage._WholeHeight), 8, kColorTypes[WholeImage._WholePlanesIn],
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < WholeImage._WholeHeight; ++y) {
    png_write_row(png, WholeImage.pixels + static_cast<size_t>(y) * WholeImage.rowStride);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  const int64_t size = std::ftell(file);
  std::fclose(file);
  return size;
}

int64_t FileSize(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  std::fseek(file, 0, SEEK_END);
  const int64_t size = std::ftell(file);
  std::fclose(file);
  return size;
}

// Runs pngquant at 256 colours (its default speed and dithering) on the input; wall seconds, or a negative value
// when it failed. cpuSeconds gets the child's user plus system time (pngquant may use more than one core).
double RunPngquant(const std::string& pngquant, const std::string& input, double* cpuSeconds) {
  bench::ChildTime time;
  if (!bench::RunChild({pngquant, "256", "--force", "--output", "pngquant.png", input}, &time)) return -1;
  *cpuSeconds = time.cpu;
  return time.wall;
}

// One line per measurement: wall time, processor time, file size, then the two halves of a refresh.
void Line(const char* what, double wall, double cpu, long long bytes, const char* rest) {
  std::printf("  %-46s %7.0f ms %7.0f ms %10lld  %s\n", what, wall * 1e3, cpu * 1e3, bytes, rest);
  std::fflush(stdout);
}

void Row(const char* what, const RefreshTime& time) {
  char rest[96];
  std::snprintf(rest, sizeof rest, "%6.0f + %6.0f ms  %5.1f%%", time.filterCpu * 1e3, time.compressCpu * 1e3,
                100.0 * time.filterCpu / time.totalCpu());
  Line(what, time.total(), time.totalCpu(), time.size, rest);
}

// Judged on processor time: on a shared machine the wall clock also counts the time spent waiting for a core.
void Ratio(const char* what, double cpuValue, double wallValue, const char* unit, double target,
           const char* targetText) {
  std::printf("  ratio  %-40s %7.2f%-1s (wall clock %.2f%s)  target %s: %s\n", what, cpuValue, unit, wallValue, unit,
              targetText, cpuValue <= target ? "met" : "missed");
  std::fflush(stdout);
}

int Time(const std::string& input, int runs, const std::string& pngquant) {
  if (!LoadWholeImage(input)) return 1;
  TempPngPath = platform::FromUtf8("refresh.png");
  const double megapixels = static_cast<double>(WholeImage._WholeWidth) * WholeImage._WholeHeight / 1e6;
  static const char* const kPlanes[5] = {"", "gray", "gray+alpha", "RGB", "RGBA"};
  std::printf("  %d x %d (%.2f MP) %s, %.1f MB, lowest alpha %d; best of %d runs\n", WholeImage._WholeWidth,
              WholeImage._WholeHeight, megapixels, kPlanes[WholeImage._WholePlanesIn],
              Megabytes(static_cast<double>(WholeImage.pixelBytes)),
              WholeImage.MinAlpha > 255 ? 255 : WholeImage.MinAlpha, runs);
  std::printf("  %-46s %10s %10s %10s  %s\n", "", "wall", "processor", "bytes",
              "DoFilter + CompressPNG (processor), share");
  std::fflush(stdout);

  // The RGB refresh and the bare encode take turns, so that both see the same load on a shared machine; one
  // untimed refresh per pixel size first, so that no timed run pays for touching a new buffer.
  SetOptions(kPngRgb, kDiffusion);
  Refresh();
  std::vector<double> bareTimes, bareCpus;
  int64_t bareSize = 0;
  RefreshRuns rgbRuns;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const double startCpu = CpuSeconds();
    bareSize = BareEncode("bare.png");
    bareCpus.push_back(CpuSeconds() - startCpu);
    bareTimes.push_back(Seconds(Clock::now() - start));
    rgbRuns.Add(Refresh());
  }
  const double bare = Best(bareTimes);
  const double bareCpu = Best(bareCpus);
  const RefreshTime rgb = rgbRuns.Result();
  Line("bare libpng encode, defaults", bare, bareCpu, bareSize, "");
  Row("refresh RGB", rgb);

  SetOptions(kPngGrayscale, kDiffusion);
  Refresh();
  const RefreshTime gray = TimeRefresh(runs, false);
  Row("refresh Grayscale", gray);

  RefreshTime palette[4];
  for (uint8_t dither = kNoDither; dither <= kNoise; ++dither) {
    SetOptions(kPngPalette, dither);
    if (dither == kNoDither) {
      ForgetPalette();
      Refresh();
    }
    palette[dither] = TimeRefresh(runs, true);
    char what[64];
    std::snprintf(what, sizeof what, "refresh Palette 256, %s", kDitherNames[dither]);
    Row(what, palette[dither]);
  }
  SetOptions(kPngPalette, kDiffusion);
  const RefreshTime kept = TimeRefresh(runs, false);
  Row("refresh Palette 256, Diffusion, palette kept", kept);

  double quant = -1;
  double quantCpu = 0;
  int64_t quantSize = 0;
  if (pngquant.empty()) {
    std::printf("  pngquant: not available, its comparison is skipped\n");
  } else {
    std::vector<double> walls, cpus;
    for (int i = 0; i < runs; ++i) {
      double cpu = 0;
      const double wall = RunPngquant(pngquant, input, &cpu);
      if (wall < 0) break;
      walls.push_back(wall);
      cpus.push_back(cpu);
    }
    if (walls.size() == static_cast<size_t>(runs)) {
      quant = Best(walls);
      quantCpu = Best(cpus);
      quantSize = FileSize("pngquant.png");
      Line("pngquant 256 (reads, quantizes, writes)", quant, quantCpu, quantSize, "");
    } else {
      std::printf("  pngquant failed on this image; its comparison is skipped\n");
    }
  }
  std::fflush(stdout);

  Ratio("RGB refresh / bare encode", rgb.totalCpu() / bareCpu, rgb.total() / bare, "", 1.10, "<= 1.10");
  if (quant > 0) {
    Ratio("Palette+Diffusion refresh / pngquant", palette[kDiffusion].totalCpu() / quantCpu,
          palette[kDiffusion].total() / quant, "", 0.50, "<= 0.50");
  }
  Ratio("DoFilter share of the RGB refresh", 100.0 * rgb.filterCpu / rgb.totalCpu(), 100.0 * rgb.filter / rgb.total(),
        "%", 10.0, "<= 10%");
  Ratio("DoFilter share of the Grayscale refresh", 100.0 * gray.filterCpu / gray.totalCpu(),
        100.0 * gray.filter / gray.total(), "%", 10.0, "<= 10%");
  ReleaseAll();
  return 0;
}

long MaxRssKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Once(const std::string& input, const std::string& type, const std::string& dither) {
  const long before = MaxRssKilobytes();
  if (!LoadWholeImage(input)) return 1;
  TempPngPath = platform::FromUtf8("refresh.png");
  int8_t pngType = kPngRgb;
  if (type == "gray") pngType = kPngGrayscale;
  if (type == "palette") pngType = kPngPalette;
  uint8_t method = kDiffusion;
  if (dither == "none") method = kNoDither;
  if (dither == "pattern") method = kPattern;
  if (dither == "noise") method = kNoise;
  SetOptions(pngType, method);
  ForgetPalette();
  const RefreshTime time = Refresh();
  const double imageBytes = static_cast<double>(WholeImage.pixelBytes);
  const double peak = MaxRssKilobytes() * 1024.0;
  char what[64];
  std::snprintf(what, sizeof what, "%s%s%s", kTypeNames[pngType], pngType == kPngPalette ? ", " : "",
                pngType == kPngPalette ? kDitherNames[method] : "");
  std::printf(
      "  memory %-28s peak RSS %7.1f MB = %4.2f x image %6.1f MB (process before the image %.1f MB; "
      "PNG %d bytes)\n",
      what, Megabytes(peak), peak / imageBytes, Megabytes(imageBytes), Megabytes(before * 1024.0), time.size);
  std::printf("  ratio  %-40s %7.2f   target <= 3: %s\n", (std::string("peak memory / image, ") + what).c_str(),
              peak / imageBytes, peak / imageBytes <= 3.0 ? "met" : "missed");
  ReleaseAll();
  return 0;
}

// The reduction alone, its rows one after another on one thread against bands on every processor, for each path
// whose rows do not depend on each other; Diffusion, which stays in order, for reference. Judged on the wall
// clock: spreading work over processors saves waiting, not processor time.
int Bands(const std::string& input, int runs) {
  if (!LoadWholeImage(input)) return 1;
  const int32_t threads = ReductionThreads();
  std::printf("  %d x %d, %d threads against 1, best of %d runs\n", WholeImage._WholeWidth, WholeImage._WholeHeight,
              threads, runs);
  struct Path {
    const char* name;
    int8_t type;
    uint8_t dither;
    bool alphaChannel;
    bool judged;  // a copy of the pixels is bound by memory, not by processors
  };
  const Path paths[] = {{"Grayscale", kPngGrayscale, kNoDither, true, true},
                        {"RGB over the fill", kPngRgb, kNoDither, false, true},
                        {"RGB with its alpha (a copy)", kPngRgb, kNoDither, true, false},
                        {"Palette, No Dither", kPngPalette, kNoDither, true, true},
                        {"Palette, Pattern", kPngPalette, kPattern, true, true},
                        {"Palette, Noise", kPngPalette, kNoise, true, true},
                        {"Palette, Diffusion (in order)", kPngPalette, kDiffusion, true, false}};
  ForgetPalette();
  for (const Path& path : paths) {
    SetOptions(path.type, path.dither);
    SaveOptions.alphaChannel = path.alphaChannel ? 1 : 0;
    DoFilter();  // builds the palette once and touches the buffer
    const FilterSettings settings = FilterSettingsFor(WholeImage, SaveOptions);
    const PaletteMatch match =
        path.type == kPngPalette ? PaletteMatchFor(settings, ColorMap.data(), Palette.count) : PaletteMatch{};
    double best[2] = {1e30, 1e30};
    for (int run = 0; run < runs; ++run) {
      for (int parallel = 0; parallel < 2; ++parallel) {  // taking turns, so both see the same load
        RowSpread spread;
        spread.threads = parallel ? threads : 1;
        const auto start = Clock::now();
        if (ReduceRows(WholeImage, settings, Palette, match, ReducedImage.pixels, nullptr, spread) !=
            ReduceStatus::Ok) {
          std::printf("  %s: the reduction failed\n", path.name);
          ReleaseAll();
          return 1;
        }
        best[parallel] = std::min(best[parallel], Seconds(Clock::now() - start));
      }
    }
    const double speedup = best[0] / best[1];
    std::printf("  %-46s %7.0f ms %7.0f ms\n", (std::string("reduction ") + path.name + ", 1 thread | all").c_str(),
                best[0] * 1e3, best[1] * 1e3);
    if (!path.judged) {
      std::printf("  %-46s %7.2f\n", (std::string("serial / parallel, ") + path.name).c_str(), speedup);
    } else {
      std::printf("  ratio  %-40s %7.2f   target >= 1.8: %s\n",
                  (std::string("serial / parallel, ") + path.name).c_str(), speedup, speedup >= 1.8 ? "met" : "missed");
    }
    std::fflush(stdout);
  }
  ReleaseAll();
  return 0;
}

// Decode and a bare encode, the least any save of the image must do; scripts/bench times this process.
int Reencode(const std::string& input, const std::string& output) {
  if (!LoadWholeImage(input)) return 1;
  const int64_t size = BareEncode(output.c_str());
  ReleaseAll();
  return size > 0 ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: vexlorin_bench generate gradient|noise|scene W H OUT.png\n"
               "       vexlorin_bench time IN.png [--runs N] [--pngquant PATH]\n"
               "       vexlorin_bench once IN.png gray|rgb|palette [none|diffusion|pattern|noise]\n"
               "       vexlorin_bench reencode IN.png OUT.png\n"
               "       vexlorin_bench bands IN.png [--runs N]\n"
               "       vexlorin_bench quality IN.png [--colors N]... [--dither none|diffusion]... [--runs N]\n"
               "                              [--pngquant PATH]\n"
               "       vexlorin_bench size [--runs N] [--optipng PATH] [--zopflipng PATH] [--label TEXT] IN.png...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 5 && args[0] == "generate") {
    return Generate(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()), args[4]);
  }
  if (args.size() >= 2 && args[0] == "time") {
    int runs = 3;
    std::string pngquant;
    for (size_t i = 2; i + 1 < args.size(); i += 2) {
      if (args[i] == "--runs")
        runs = std::max(1, std::atoi(args[i + 1].c_str()));
      else if (args[i] == "--pngquant")
        pngquant = args[i + 1];
      else
        return Usage();
    }
    if (args.size() % 2 != 0) return Usage();
    return Time(args[1], runs, pngquant);
  }
  if (args.size() == 3 && args[0] == "reencode") return Reencode(args[1], args[2]);
  if ((args.size() == 2 || (args.size() == 4 && args[2] == "--runs")) && args[0] == "bands") {
    return Bands(args[1], args.size() == 4 ? std::max(1, std::atoi(args[3].c_str())) : 3);
  }
  if (args.size() >= 2 && args[0] == "quality") {
    const std::optional<bench::QualityRequest> request =
        bench::ParseQualityRequest(std::vector<std::string>(args.begin() + 1, args.end()));
    return request ? bench::RunQuality(*request) : Usage();
  }
  if (!args.empty() && args[0] == "size") {
    const std::optional<bench::SizeRequest> request =
        bench::ParseSizeRequest(std::vector<std::string>(args.begin() + 1, args.end()));
    return request ? bench::RunSize(*request) : Usage();
  }
  if ((args.size() == 3 || args.size() == 4) && args[0] == "once") {
    return Once(args[1], args[2], args.size() == 4 ? args[3] : "diffusion");
  }
  return Usage();
}
