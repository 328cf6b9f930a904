#include "tools/palette_quality.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/platform.h"
#include "png/png_writer.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/palette_count_search.h"
#include "reduce/reduce_filter.h"
#include "tools/bench_child.h"
#include "tools/bench_clock.h"
#include "tools/bench_records.h"
#include "tools/psnr.h"

namespace bench {

namespace {

const char* DitherName(uint8_t dither) { return dither == kNoDither ? "No Dither" : "Diffusion"; }
const char* DitherWord(uint8_t dither) { return dither == kNoDither ? "none" : "diffusion"; }

// The runs of one way of making the file: its times, and what the last run wrote.
struct MethodRuns {
  const char* name = "";
  std::string file;
  std::vector<double> cpus;
  std::vector<double> walls;
  int64_t bytes = 0;
  bool failed = false;
  double psnr = 0;

  void Add(double cpu, double wall) {
    cpus.push_back(cpu);
    walls.push_back(wall);
  }
};

// One save's reduction and encoding, the palette built afresh as after a change of the colour count.
void SaveOnce(int32_t colors, uint8_t dither, uint8_t refine, MethodRuns& method, int32_t quality = 0) {
  ResetSaveOptions();
  SaveOptions.paletteQuality = quality;
  SaveOptions.pngType = kPngPalette;
  SaveOptions.paletteColors = colors;
  SaveOptions.dither = dither;
  SaveOptions.refinePalette = refine;
  TempPngPath = platform::FromUtf8(method.file);
  ForgetPalette();
  const auto start = Clock::now();
  const double startCpu = CpuSeconds();
  DoFilter();
  const int32_t bytes = CompressPNG().size;
  method.Add(CpuSeconds() - startCpu, Seconds(Clock::now() - start));
  method.bytes = bytes;
  method.failed = method.failed || bytes == 0;
}

void QuantizeOnce(const QualityRequest& request, int32_t colors, uint8_t dither, MethodRuns& method) {
  std::vector<std::string> args = {request.pngquant, std::to_string(colors)};
  if (dither == kNoDither) args.push_back("--nofs");
  for (const char* arg : {"--force", "--output"}) args.push_back(arg);
  args.push_back(method.file);
  args.push_back(request.input);
  ChildTime time;
  if (!RunChild(args, &time)) {
    method.failed = true;
    return;
  }
  method.Add(time.cpu, time.wall);
}

// Decodes the method's file and measures it against the source; false when it cannot be read or differs in size.
bool Measure(const RgbaImage& source, MethodRuns& method) {
  const std::optional<RgbaImage> written = DecodeRgba(method.file);
  if (!written || written->width != source.width || written->height != source.height) return false;
  method.psnr = Psnr(source, *written, source.hasAlpha);
  std::error_code error;
  method.bytes = static_cast<int64_t>(std::filesystem::file_size(method.file, error));
  if (error) return false;
  return true;
}

void Row(int32_t colors, uint8_t dither, const MethodRuns& method) {
  std::printf("  %7d  %-9s  %-17s %8.2f %11lld %13.0f %9.0f\n", colors, DitherName(dither), method.name, method.psnr,
              static_cast<long long>(method.bytes), Best(method.cpus) * 1e3, Best(method.walls) * 1e3);
}

// The lines the bench's summary collects: "ratio", a label, the value, the target and whether it was met.
void Ratios(int32_t colors, uint8_t dither, const MethodRuns& refined, const MethodRuns& quantized) {
  char where[32];
  std::snprintf(where, sizeof where, ", %d, %s", colors, DitherName(dither));
  const double psnrGap = refined.psnr - quantized.psnr;
  const double psnrTarget = dither == kNoDither ? 0.0 : -0.3;
  std::printf("  ratio  %-40s %7.2f dB  target >= %g dB: %s\n",
              ("refined - pngquant PSNR" + std::string(where)).c_str(), psnrGap, psnrTarget,
              psnrGap >= psnrTarget ? "met" : "missed");
  const double time = Best(refined.cpus) / Best(quantized.cpus);
  std::printf("  ratio  %-40s %7.2f  (wall clock %.2f)  target <= 1: %s\n",
              ("refined / pngquant time" + std::string(where)).c_str(), time,
              Best(refined.walls) / Best(quantized.walls), time <= 1.0 ? "met" : "missed");
  const double size = static_cast<double>(refined.bytes) / static_cast<double>(quantized.bytes);
  std::printf("  ratio  %-40s %7.3f  target <= 1.05: %s\n", ("refined / pngquant size" + std::string(where)).c_str(),
              size, size <= 1.05 ? "met" : "missed");
}

// The three methods at one colour count and dither, taking turns run by run so that all see the same load.
bool Compare(const QualityRequest& request, const RgbaImage& source, int32_t colors, uint8_t dither) {
  const std::string suffix = "-" + std::to_string(colors) + "-" + DitherWord(dither) + ".png";
  MethodRuns median;
  median.name = "median cut";
  median.file = "median" + suffix;
  MethodRuns refined;
  refined.name = "refined palette";
  refined.file = "refined" + suffix;
  MethodRuns quantized;
  quantized.name = dither == kNoDither ? "pngquant --nofs" : "pngquant";
  quantized.file = "pngquant" + suffix;
  const bool withPngquant = !request.pngquant.empty();
  for (int run = 0; run < request.runs; ++run) {
    SaveOnce(colors, dither, 0, median);
    SaveOnce(colors, dither, 1, refined);
    if (withPngquant && !quantized.failed) QuantizeOnce(request, colors, dither, quantized);
  }
  if (median.failed || refined.failed || !Measure(source, median) || !Measure(source, refined)) {
    std::printf("  %7d  %-9s  the plug-in's file was not written or cannot be read\n", colors, DitherName(dither));
    return false;
  }
  Row(colors, dither, median);
  Row(colors, dither, refined);
  if (!withPngquant) return true;
  if (quantized.failed || !Measure(source, quantized)) {
    std::printf("  %7d  %-9s  pngquant failed; no ratios\n", colors, DitherName(dither));
  } else {
    Row(colors, dither, quantized);
    Ratios(colors, dither, refined, quantized);
  }
  std::fflush(stdout);
  return true;
}

// Colours the decoded file uses: a palette file's count of colours in use.
int32_t ColorsInUse(const RgbaImage& image) {
  std::vector<uint32_t> colors;
  const size_t pixels = static_cast<size_t>(image.width) * image.height;
  colors.reserve(pixels);
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* p = &image.pixels[i * 4];
    colors.push_back(static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
  }
  std::sort(colors.begin(), colors.end());
  return static_cast<int32_t>(std::unique(colors.begin(), colors.end()) - colors.begin());
}

// A quality row: the count the Palette Quality chose (refined, Diffusion), the PSNR reached and the time against
// one refined save at 256 colours; beside it pngquant --quality 0-q, whose own scale is not in dB, with the colours
// its file uses and the PSNR it reached.
void QualityRow(const QualityRequest& request, const RgbaImage& source, int32_t quality, const MethodRuns& at256) {
  const std::string suffix = "-q" + std::to_string(quality) + ".png";
  MethodRuns chosen;
  chosen.name = "quality";
  chosen.file = "quality" + suffix;
  int32_t colors = 0;
  for (int run = 0; run < request.runs; ++run) {
    SaveOnce(256, kDiffusion, 1, chosen, quality);
    colors = Palette.count;
  }
  if (chosen.failed || !Measure(source, chosen)) {
    std::printf("  quality %3d  the plug-in's file was not written or cannot be read\n", quality);
    return;
  }
  const double target = QualityTargetDb(quality);
  std::printf("  quality %3d  target %5.1f dB  %3d colours  %6.2f dB  time / refined 256: %5.2f", quality, target,
              colors, chosen.psnr, Best(chosen.cpus) / Best(at256.cpus));
  if (!request.pngquant.empty()) {
    MethodRuns quantized;
    quantized.file = "pngquant" + suffix;
    ChildTime time;
    const std::vector<std::string> args = {request.pngquant, "--quality", "0-" + std::to_string(quality),
                                           "--force",        "--output",  quantized.file,
                                           request.input};
    const std::optional<RgbaImage> written = RunChild(args, &time) ? DecodeRgba(quantized.file) : std::nullopt;
    if (written && Measure(source, quantized)) {
      std::printf("  | pngquant --quality 0-%d: %3d colours  %6.2f dB  %6.0f ms", quality, ColorsInUse(*written),
                  quantized.psnr, time.cpu * 1e3);
    } else {
      std::printf("  | pngquant --quality 0-%d failed", quality);
    }
  }
  std::printf("\n");
  std::fflush(stdout);
}

bool ParseDither(const std::string& word, uint8_t* dither) {
  if (word == "none") *dither = kNoDither;
  if (word == "diffusion") *dither = kDiffusion;
  return word == "none" || word == "diffusion";
}

}  // namespace

std::optional<QualityRequest> ParseQualityRequest(const std::vector<std::string>& args) {
  if (args.empty() || args.size() % 2 == 0) return std::nullopt;
  QualityRequest request;
  request.input = args[0];
  for (size_t i = 1; i + 1 < args.size(); i += 2) {
    const std::string& value = args[i + 1];
    uint8_t dither = kNoDither;
    if (args[i] == "--colors") {
      const int32_t colors = std::atoi(value.c_str());
      if (colors < 2 || colors > 256) return std::nullopt;
      request.colorCounts.push_back(colors);
    } else if (args[i] == "--dither" && ParseDither(value, &dither)) {
      request.dithers.push_back(dither);
    } else if (args[i] == "--quality") {
      const int32_t quality = std::atoi(value.c_str());
      if (quality < 1 || quality > 100) return std::nullopt;
      request.qualities.push_back(quality);
    } else if (args[i] == "--runs") {
      request.runs = std::max(1, std::atoi(value.c_str()));
    } else if (args[i] == "--pngquant") {
      request.pngquant = value;
    } else {
      return std::nullopt;
    }
  }
  if (request.colorCounts.empty()) request.colorCounts = {256, 64, 16};
  if (request.dithers.empty()) request.dithers = {kNoDither, kDiffusion};
  if (request.qualities.empty()) request.qualities = {50, 75, 90};
  return request;
}

int RunQuality(const QualityRequest& request) {
  const std::optional<RgbaImage> source = DecodeRgba(request.input);
  if (!source || !LoadWholeImage(request.input)) return 1;
  std::printf(
      "  %d x %d (%.2f MP) %s; PSNR over %s; best of %d runs\n", source->width, source->height,
      static_cast<double>(source->width) * source->height / 1e6, source->hasAlpha ? "RGBA" : "RGB",
      source->hasAlpha ? "R, G, B and A of every pixel, colours premultiplied by alpha" : "R, G and B of every pixel",
      request.runs);
  std::printf(
      "  processor time: the plug-in's reduction and encoding of one save, palette built afresh; pngquant's whole\n"
      "  run, reading its input included, user + system over its threads\n");
  std::printf("  %7s  %-9s  %-17s %8s %11s %13s %9s\n", "colours", "dither", "method", "PSNR dB", "bytes",
              "processor ms", "wall ms");
  std::fflush(stdout);
  // One untimed save first, so that no timed run pays for touching a new buffer.
  MethodRuns warmUp;
  warmUp.file = "warm-up.png";
  SaveOnce(request.colorCounts.front(), request.dithers.front(), 0, warmUp);
  std::remove(warmUp.file.c_str());
  bool written = true;
  for (const int32_t colors : request.colorCounts) {
    for (const uint8_t dither : request.dithers) written = Compare(request, *source, colors, dither) && written;
  }
  MethodRuns at256;
  at256.file = "refined-256-quality-reference.png";
  for (int run = 0; run < request.runs; ++run) SaveOnce(256, kDiffusion, 1, at256);
  std::remove(at256.file.c_str());
  for (const int32_t quality : request.qualities) QualityRow(request, *source, quality, at256);
  ReleaseAll();
  return written ? 0 : 1;
}

}  // namespace bench
