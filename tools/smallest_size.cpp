#include "tools/smallest_size.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/platform.h"
#include "base/progress.h"
#include "png/png_writer.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/reduce_filter.h"
#include "tools/bench_child.h"
#include "tools/bench_clock.h"
#include "tools/bench_records.h"
#include "tools/rgba_png.h"
#include "tools/same_picture.h"

namespace bench {

namespace {

// zopflipng takes minutes on a large image: it runs on images of at most this many pixels.
constexpr double kZopflipngMostPixels = 4.0e6;
// The reference tools' files are the same on every run and no target weighs their time: they run once.
constexpr int kReferenceRuns = 1;
constexpr int32_t kPaletteColors = 64;

// Targets over the whole run (and, for zopflipng, each file of an image it ran on).
constexpr double kSmallestOverStandard = 0.93;
constexpr double kSmallestOverOptipng = 1.0;
constexpr double kSmallestOverZopflipng = 1.07;
constexpr double kSmallestOverZopflipngEach = 1.12;
constexpr double kSmallestWallOverStandard = 4.0;

// One file's figures: its bytes and the best of its runs' times; when it was not made, why.
struct FileFigures {
  bool made = false;
  int64_t bytes = 0;
  double cpu = 0;
  double wall = 0;
  std::string missing = "not run";

  void Add(int64_t size, double cpuSeconds, double wallSeconds) {
    cpu = made ? std::min(cpu, cpuSeconds) : cpuSeconds;
    wall = made ? std::min(wall, wallSeconds) : wallSeconds;
    bytes = size;
    made = true;
  }
};

// A column's figures summed over the files it has.
struct ColumnSum {
  int files = 0;
  int64_t bytes = 0;
  double cpu = 0;
  double wall = 0;

  void Add(const FileFigures& file) {
    if (!file.made) return;
    ++files;
    bytes += file.bytes;
    cpu += file.cpu;
    wall += file.wall;
  }
};

// The four files of one save of one image.
struct SaveFigures {
  FileFigures standard, smallest, optipng, zopflipng;
};

struct Totals {
  int images = 0;
  ColumnSum standard, smallest, optipng, zopflipng;
  ColumnSum smallestBesideOptipng, smallestBesideZopflipng;  // the Smallest files of the ones each tool made
  double worstOverZopflipng = 0;
  std::string worstWhere;
  int checked = 0;
  int differ = 0;
  int failed = 0;  // images or files that could not be read or written

  void Add(const SaveFigures& save, const std::string& where) {
    standard.Add(save.standard);
    smallest.Add(save.smallest);
    optipng.Add(save.optipng);
    zopflipng.Add(save.zopflipng);
    if (save.optipng.made) smallestBesideOptipng.Add(save.smallest);
    if (!save.zopflipng.made) return;
    smallestBesideZopflipng.Add(save.smallest);
    const double ratio = static_cast<double>(save.smallest.bytes) / static_cast<double>(save.zopflipng.bytes);
    if (ratio > worstOverZopflipng) {
      worstOverZopflipng = ratio;
      worstWhere = where;
    }
  }
};

int64_t FileBytes(const std::string& path) {
  std::error_code error;
  const auto bytes = std::filesystem::file_size(path, error);
  return error ? -1 : static_cast<int64_t>(bytes);
}

// The plug-in's reduction of the loaded image into the rows of one save, the palette built afresh.
bool Reduce(int8_t type, bool alphaChannel) {
  ResetSaveOptions();
  SaveOptions.pngType = type;
  SaveOptions.alphaChannel = alphaChannel ? 1 : 0;
  if (type == kPngPalette) {
    SaveOptions.paletteColors = kPaletteColors;
    SaveOptions.dither = kNoDither;
  }
  ForgetPalette();
  return DoFilter() == ReduceStatus::Ok;
}

// One encoding of the reduced rows into path, the Standard or the Smallest file, timed; false when it failed.
bool Encode(const std::string& path, bool smallest, FileFigures& figures) {
  PngWriteJob job = PngWriteJobFor(WholeImage, SaveOptions, Palette, ReducedImage);
  job.smallest = smallest;
  const auto start = Clock::now();
  const double startCpu = CpuSeconds();
  const PngResult result = EncodePngFile(platform::FromUtf8(path), job, Progress);
  const double cpu = CpuSeconds() - startCpu;
  const double wall = Seconds(Clock::now() - start);
  if (result.status != PngStatus::Ok) {
    figures.missing = "not written";
    return false;
  }
  figures.Add(result.size, cpu, wall);
  return true;
}

// A reference tool's run on a copy of the Standard file; output is what it writes.
void RunReference(const std::vector<std::string>& args, const std::string& output, FileFigures& figures) {
  for (int run = 0; run < kReferenceRuns; ++run) {
    std::remove(output.c_str());  // both tools keep an output they find from an earlier run when it is smaller
    ChildTime time;
    const int64_t bytes = RunChild(args, &time) ? FileBytes(output) : -1;
    if (bytes <= 0) {
      figures.made = false;
      figures.missing = "failed";
      return;
    }
    figures.Add(bytes, time.cpu, time.wall);
  }
}

// Empty when the Smallest file shows the Standard file's picture, else what differs.
std::string CheckPixels(const std::string& standardPath, const std::string& smallestPath) {
  const std::optional<RgbaImage> standard = DecodeRgba(standardPath);
  if (!standard) return "the Standard file cannot be decoded";
  const std::optional<RgbaImage> smallest = DecodeRgba(smallestPath);
  if (!smallest) return "the Smallest file cannot be decoded";
  return FirstVisibleDifference(*standard, *smallest);
}

void Header() {
  std::printf("  %-22s %-11s %10s %9s %12s %9s %9s\n", "rows", "file", "bytes", "bytes/Std", "processor ms", "wall ms",
              "wall/Std");
}

// One file's row: bytes and times, each beside the Standard file's.
void FileRow(const char* rows, const char* name, const FileFigures& file, const FileFigures& standard,
             const std::string& note) {
  if (!file.made) {
    std::printf("  %-22s %-11s %10s  (%s)\n", rows, name, "-", file.missing.c_str());
    return;
  }
  std::printf("  %-22s %-11s %10lld %9.3f %12.0f %9.0f %9.2f%s%s\n", rows, name, static_cast<long long>(file.bytes),
              static_cast<double>(file.bytes) / static_cast<double>(standard.bytes), file.cpu * 1e3, file.wall * 1e3,
              file.wall / standard.wall, note.empty() ? "" : "  ", note.c_str());
}

// A line the bench's summary collects: "ratio", a label, the value, the target and whether it was met.
void RatioLine(const std::string& label, double value, double target, const std::string& rest = "") {
  std::printf("  ratio  %-40s %7.3f  target <= %g: %s%s\n", label.c_str(), value, target,
              value <= target ? "met" : "missed", rest.c_str());
}

// The Standard and Smallest files of one save (taking turns run by run, so both see the same load), the reference
// tools on a copy of the Standard file and the check of the Smallest file's pixels.
SaveFigures CompareSave(const SizeRequest& request, const std::string& stem, const char* rows, const char* shortRows,
                        bool withZopflipng, Totals& totals) {
  SaveFigures save;
  const std::string standardPath = stem + "-standard.png";
  const std::string smallestPath = stem + "-smallest.png";
  bool written = true;
  for (int run = 0; run < request.runs && written; ++run) {
    written = Encode(standardPath, false, save.standard) && Encode(smallestPath, true, save.smallest);
  }
  if (!written) {
    std::printf("  %-22s the %s file was not written\n", rows, save.standard.made ? "Smallest" : "Standard");
    ++totals.failed;
    return SaveFigures{};
  }

  const std::string copy = stem + "-reference-input.png";
  std::error_code error;
  std::filesystem::copy_file(standardPath, copy, std::filesystem::copy_options::overwrite_existing, error);
  if (request.optipng.empty()) {
    save.optipng.missing = "optipng not available";
  } else if (!error) {
    const std::string out = stem + "-optipng.png";
    RunReference({request.optipng, "-o2", "-quiet", "-out", out, copy}, out, save.optipng);
  }
  if (request.zopflipng.empty()) {
    save.zopflipng.missing = "zopflipng not available";
  } else if (!withZopflipng) {
    save.zopflipng.missing = "over 4 MP: not run";
  } else if (!error) {
    const std::string out = stem + "-zopflipng.png";
    RunReference({request.zopflipng, "-y", copy, out}, out, save.zopflipng);
  }

  const std::string difference = CheckPixels(standardPath, smallestPath);
  ++totals.checked;
  if (!difference.empty()) ++totals.differ;
  FileRow(rows, "Standard", save.standard, save.standard, "");
  FileRow("", "Smallest", save.smallest, save.standard,
          difference.empty() ? "pixels: same" : "pixels DIFFER: " + difference);
  FileRow("", "optipng -o2", save.optipng, save.standard, "");
  FileRow("", "zopflipng", save.zopflipng, save.standard, "");
  if (save.zopflipng.made) {
    RatioLine(std::string("Smallest / zopflipng bytes, ") + shortRows,
              static_cast<double>(save.smallest.bytes) / static_cast<double>(save.zopflipng.bytes),
              kSmallestOverZopflipngEach);
  }
  std::fflush(stdout);
  return save;
}

void CompareImage(const SizeRequest& request, size_t index, Totals& totals) {
  const SizeImage& image = request.images[index];
  std::printf("\n== size: %s\n", image.label.c_str());
  if (!LoadWholeImage(image.path)) {
    std::printf("  (the image cannot be read)\n");
    ++totals.failed;
    return;
  }
  ++totals.images;
  const double megapixels = static_cast<double>(WholeImage._WholeWidth) * WholeImage._WholeHeight / 1e6;
  const bool withZopflipng =
      static_cast<double>(WholeImage._WholeWidth) * WholeImage._WholeHeight <= kZopflipngMostPixels;
  const bool transparent = HasAlphaPlane() && WholeImage.MinAlpha < 256;
  std::printf("  %d x %d (%.2f MP), %s; Standard and Smallest best of %d runs, the tools one run\n",
              WholeImage._WholeWidth, WholeImage._WholeHeight, megapixels, transparent ? "with transparency" : "opaque",
              request.runs);
  Header();
  char number[24];
  std::snprintf(number, sizeof number, "%02zu-", index + 1);
  const std::string stem = number + std::filesystem::path(image.path).stem().string();
  struct Rows {
    const char* name;
    const char* shortName;  // in the ratio lines, which the bench's summary repeats
    const char* suffix;
    int8_t type;
  };
  const Rows saves[] = {{transparent ? "RGB with alpha" : "RGB", transparent ? "RGBA" : "RGB", "-rgb", kPngRgb},
                        {"Palette 64, No Dither", "Palette 64", "-palette64", kPngPalette}};
  for (const Rows& rows : saves) {
    if (!Reduce(rows.type, transparent)) {
      std::printf("  %-22s the reduction failed\n", rows.name);
      ++totals.failed;
      continue;
    }
    const SaveFigures save = CompareSave(request, stem + rows.suffix, rows.name, rows.shortName, withZopflipng, totals);
    totals.Add(save, std::filesystem::path(image.path).stem().string() + ", " + rows.shortName);
  }
  ReleaseAll();
}

void SumRow(const char* name, const ColumnSum& column, const char* note) {
  if (column.files == 0) {
    std::printf("  %-26s %5s %12s  (%s)\n", name, "-", "-", note);
    return;
  }
  std::printf("  %-26s %5d %12lld %12.0f %10.0f%s%s\n", name, column.files, static_cast<long long>(column.bytes),
              column.cpu * 1e3, column.wall * 1e3, *note != '\0' ? "  " : "", note);
}

double Ratio(int64_t part, int64_t whole) { return static_cast<double>(part) / static_cast<double>(whole); }

void PrintTotals(const Totals& totals) {
  std::printf("\n== size: total: %d images, %d files per column\n", totals.images, totals.standard.files);
  std::printf("  %-26s %5s %12s %12s %10s\n", "column", "files", "bytes", "processor ms", "wall ms");
  SumRow("Standard", totals.standard, "");
  SumRow("Smallest", totals.smallest, "");
  SumRow("optipng -o2", totals.optipng, "on the Standard file");
  SumRow("Smallest beside optipng", totals.smallestBesideOptipng, "the same files");
  SumRow("zopflipng", totals.zopflipng, "on the Standard file, images up to 4 MP");
  SumRow("Smallest beside zopflipng", totals.smallestBesideZopflipng, "the same files");
  if (totals.standard.files > 0) {
    RatioLine("Smallest / Standard bytes", Ratio(totals.smallest.bytes, totals.standard.bytes), kSmallestOverStandard);
  }
  if (totals.optipng.files > 0) {
    RatioLine("Smallest / optipng -o2 bytes", Ratio(totals.smallestBesideOptipng.bytes, totals.optipng.bytes),
              kSmallestOverOptipng);
  }
  if (totals.zopflipng.files > 0) {
    RatioLine("Smallest / zopflipng bytes, up to 4 MP",
              Ratio(totals.smallestBesideZopflipng.bytes, totals.zopflipng.bytes), kSmallestOverZopflipng);
    RatioLine("worst file Smallest / zopflipng bytes", totals.worstOverZopflipng, kSmallestOverZopflipngEach,
              "  (" + totals.worstWhere + ")");
  }
  if (totals.standard.files > 0) {
    char cpu[64];
    std::snprintf(cpu, sizeof cpu, "  (processor time %.2f)", totals.smallest.cpu / totals.standard.cpu);
    RatioLine("Smallest / Standard wall time", totals.smallest.wall / totals.standard.wall, kSmallestWallOverStandard,
              cpu);
  }
  std::printf("  pixel checks: %d of %d Smallest files show the Standard file's picture%s\n",
              totals.checked - totals.differ, totals.checked, totals.differ > 0 ? "; the others DIFFER" : "");
  if (totals.failed > 0) std::printf("  %d images or files could not be read or written\n", totals.failed);
}

}  // namespace

std::optional<SizeRequest> ParseSizeRequest(const std::vector<std::string>& args) {
  SizeRequest request;
  std::string label;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool valued = arg == "--runs" || arg == "--optipng" || arg == "--zopflipng" || arg == "--label";
    if (valued && i + 1 == args.size()) return std::nullopt;
    if (arg == "--runs") {
      request.runs = std::max(1, std::atoi(args[++i].c_str()));
    } else if (arg == "--optipng") {
      request.optipng = args[++i];
    } else if (arg == "--zopflipng") {
      request.zopflipng = args[++i];
    } else if (arg == "--label") {
      label = args[++i];
    } else if (arg.rfind("--", 0) == 0) {
      return std::nullopt;
    } else {
      request.images.push_back({arg, label.empty() ? std::filesystem::path(arg).filename().string() : label});
      label.clear();
    }
  }
  if (request.images.empty()) return std::nullopt;
  return request;
}

int RunSize(const SizeRequest& request) {
  std::printf(
      "  Each image saved as the RGB type (with its alpha when it has transparency) and as the Palette type at %d\n"
      "  colours, No Dither, through the plug-in's reduction; each save written as the Standard and the Smallest\n"
      "  file. Times are the encoding's alone (processor: every thread of this process). optipng -o2 and zopflipng\n"
      "  (its defaults; on images up to 4 MP) run on a copy of the Standard file, their whole run timed. Each\n"
      "  Smallest file is decoded again with libpng and compared with the Standard file: every alpha equal, every\n"
      "  colour equal where the alpha is not 0.\n",
      kPaletteColors);
  std::fflush(stdout);
  Totals totals;
  for (size_t i = 0; i < request.images.size(); ++i) CompareImage(request, i, totals);
  PrintTotals(totals);
  std::fflush(stdout);
  return totals.differ > 0 || totals.failed > 0 ? 1 : 0;
}

}  // namespace bench
