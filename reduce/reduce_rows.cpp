#include "reduce/reduce_rows.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/row_bands.h"
#include "reduce/dither.h"
#include "reduce/row_converter.h"
#include "reduce/shared_matches.h"

namespace {

// One band thread's converter with the dither state it works on.
struct BandWorker {
  BandWorker(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
             const PaletteMatch& match)
      : converter(image, settings, palette, match, dither) {}
  DitherState dither;
  RowConverter converter;
};

// Where each band's rows start in the noise sequence: the draws of every row before it skipped. Null when the
// memory cannot be had.
std::unique_ptr<uint32_t[]> NoiseStarts(const RowConverter& converter, const WholeImageRecord& image,
                                        const RowBands& bands, size_t inRowBytes) {
  std::unique_ptr<uint32_t[]> starts(new (std::nothrow) uint32_t[static_cast<size_t>(bands.Count())]);
  if (starts == nullptr) return starts;
  DitherState noise;
  ResetNoise(noise);
  for (int32_t band = 0; band < bands.Count(); ++band) {
    starts[band] = noise.noise;
    const int32_t first = band * bands.bandRows;
    const int32_t end = std::min(first + bands.bandRows, bands.height);
    uint64_t draws = 0;
    for (int32_t y = first; y < end; ++y) draws += converter.NoiseDraws(image.pixels + y * inRowBytes);
    SkipNoiseDraws(noise, draws);
  }
  return starts;
}

ReduceStatus ReduceRowsInBands(const WholeImageRecord& image, const FilterSettings& settings,
                               const PaletteRecord& palette, const PaletteMatch& match, uint8_t* pixels,
                               const ProgressReport& progress, const RowBands& bands) {
  // Every thread's converter is made here, before any band starts, so a lack of memory stops the run at once.
  std::unique_ptr<SharedMatches> shared;
  PaletteMatch bandMatch = match;
  if (settings.mode == kWholeRgb && settings.pngType == kPngPalette) {
    shared.reset(new (std::nothrow) SharedMatches);
    if (shared == nullptr || !shared->Ready()) return ReduceStatus::OutOfMemory;
    bandMatch.shared = shared.get();
    bandMatch.useMatchCache = false;  // the shared answers stand in for each thread's own
  }
  std::unique_ptr<std::unique_ptr<BandWorker>[]> workers(
      new (std::nothrow) std::unique_ptr<BandWorker>[static_cast<size_t>(bands.threads)]);
  if (workers == nullptr) return ReduceStatus::OutOfMemory;
  for (int32_t i = 0; i < bands.threads; ++i) {
    workers[i].reset(new (std::nothrow) BandWorker(image, settings, palette, bandMatch));
    if (workers[i] == nullptr || !workers[i]->converter.Ready()) return ReduceStatus::OutOfMemory;
  }
  const size_t inRowBytes = static_cast<size_t>(image._WholeWidth) * static_cast<size_t>(image._WholePlanesIn);
  const size_t outRowBytes = static_cast<size_t>(image._WholeWidth) * static_cast<size_t>(settings.bytesPerPixel);
  std::unique_ptr<uint32_t[]> noiseStarts;
  if (settings.dither == kNoise && settings.mode == kWholeRgb && settings.pngType == kPngPalette) {
    noiseStarts = NoiseStarts(workers[0]->converter, image, bands, inRowBytes);
    if (noiseStarts == nullptr) return ReduceStatus::OutOfMemory;
  }

  const auto band = [&](int32_t worker, int32_t first, int32_t end) {
    BandWorker& rows = *workers[worker];
    if (noiseStarts != nullptr) rows.dither.noise = noiseStarts[first / bands.bandRows];
    for (int32_t y = first; y < end; ++y)
      rows.converter.Row(y, image.pixels + y * inRowBytes, pixels + y * outRowBytes);
  };
  const int32_t height = image._WholeHeight;
  const auto rowsDone = [&](int32_t rows) { return !progress || progress(rows - 1, 2.0 * height); };
  return RunRowBands(bands, band, rowsDone) ? ReduceStatus::Ok : ReduceStatus::Aborted;
}

}  // namespace

ReduceStatus ReduceRows(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
                        const PaletteMatch& match, uint8_t* pixels, const ProgressReport& progress,
                        const RowSpread& spread) {
  const int32_t width = image._WholeWidth;
  const int32_t height = image._WholeHeight;
  const bool paletteOfRgb = settings.mode == kWholeRgb && settings.pngType == kPngPalette;
  // Without a colour map there is nothing to match against; the buffer keeps what it had.
  if (paletteOfRgb && (match.colorMap == nullptr || match.count < 1)) return ReduceStatus::NoPalette;
  if (width > 0 && height > 0 && (pixels == nullptr || image.pixels == nullptr)) return ReduceStatus::OutOfMemory;

  // Diffusion carries each row's error into the next: its rows go in order.
  const bool inOrder = paletteOfRgb && settings.dither == kDiffusion;
  RowBands bands;
  bands.height = height;
  bands.bandRows = spread.bandRows > 0 ? spread.bandRows : BandRowsFor(width);
  bands.threads = std::min(std::max(spread.threads, 1), std::max(bands.Count(), 1));
  if (!inOrder && bands.threads > 1) {
    return ReduceRowsInBands(image, settings, palette, match, pixels, progress, bands);
  }

  DitherState dither;
  if (inOrder && !AllocateErrorRow(dither, width)) return ReduceStatus::OutOfMemory;
  ResetNoise(dither);

  RowConverter converter(image, settings, palette, match, dither);
  if (!converter.Ready()) return ReduceStatus::OutOfMemory;
  const size_t inRowBytes = static_cast<size_t>(width) * static_cast<size_t>(image._WholePlanesIn);
  const size_t outRowBytes = static_cast<size_t>(width) * static_cast<size_t>(settings.bytesPerPixel);
  for (int32_t y = 0; y < height; ++y) {
    converter.Row(y, image.pixels + y * inRowBytes, pixels + y * outRowBytes);
    if (progress && !progress(y, 2.0 * height)) return ReduceStatus::Aborted;
  }
  return ReduceStatus::Ok;
}
