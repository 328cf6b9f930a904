#include "png/png_optimize.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "base/debug_log.h"
#include "base/row_bands.h"
#include "png/deflate_bands.h"
#include "png/pixel_census.h"
#include "png/png_chunks.h"

namespace {

// The trials compress at most this much of the image: all of a small one, evenly spread blocks of rows of a
// large one.
constexpr size_t kTrialBytes = 1536 * 1024;
constexpr int32_t kTrialBlocks = 16;
// Per-row deflate trials cost a deflate per row and filter: only for images up to this many bytes.
constexpr size_t kDeflateCostBytes = 4 * 1024 * 1024;
// The trials' deflate: quick, and ranking filters much as the strongest does.
constexpr int kTrialLevel = 6;
constexpr int kFinalLevel = kStrongestDeflateLevel;
// How many of the best trials of a small image are compressed at the final level, the smallest kept.
constexpr size_t kFinalists = 3;
// IDAT chunks of at most this many bytes, as most writers do.
constexpr size_t kIdatBytes = 1 << 20;

// The work done, as the writer's half of the bar: the census, the trials, the filtering, the deflate.
class WriterProgress {
 public:
  WriterProgress(const ProgressReport& progress, int32_t height) : progress_(progress), height_(height) {}
  // Part `fraction` (0 .. 1) of the writer's work is done; false: stop.
  bool At(double fraction) {
    if (stopped_) return false;
    if (progress_ && !progress_(height_ + fraction * height_, 2.0 * height_)) stopped_ = true;
    return !stopped_;
  }

 private:
  const ProgressReport& progress_;
  const int32_t height_;
  bool stopped_ = false;
};

constexpr double kCensusDone = 0.05;
constexpr double kTrialsDone = 0.35;
constexpr double kFilteringDone = 0.50;

// The rows the trials look at: first row and count of each block.
struct RowBlock {
  int32_t first = 0;
  int32_t count = 0;
};

std::vector<RowBlock> TrialBlocks(int32_t height, size_t rowBytes) {
  const size_t allBytes = static_cast<size_t>(height) * (rowBytes + 1);
  if (allBytes <= kTrialBytes || height <= kTrialBlocks) return {RowBlock{0, height}};
  const int32_t rowsPerBlock = std::max<int32_t>(1, static_cast<int32_t>(kTrialBytes / kTrialBlocks / (rowBytes + 1)));
  std::vector<RowBlock> blocks;
  for (int32_t block = 0; block < kTrialBlocks; ++block) {
    const int32_t first =
        static_cast<int32_t>(static_cast<int64_t>(height - rowsPerBlock) * block / (kTrialBlocks - 1));
    blocks.push_back(RowBlock{first, std::min(rowsPerBlock, height - first)});
  }
  return blocks;
}

int32_t TrialRows(const std::vector<RowBlock>& blocks) {
  int32_t rows = 0;
  for (const RowBlock& block : blocks) rows += block.count;
  return rows;
}

// The filtered rows of the blocks, one after the other.
std::vector<uint8_t> FilterBlocks(const PngWriteJob& job, const PngLayout& layout, const LayoutRows& rows,
                                  FilterStrategy strategy, bool predictClear, const std::vector<RowBlock>& blocks) {
  const size_t rowBytes = layout.RowBytes(job.width);
  RowFilterer filterer(layout, job.width, strategy, predictClear);
  std::vector<uint8_t> raw(rowBytes);
  std::vector<uint8_t> filtered;
  filtered.reserve(static_cast<size_t>(TrialRows(blocks)) * (rowBytes + 1));
  for (const RowBlock& block : blocks) {
    if (block.first > 0) {
      rows.Row(block.first - 1, raw.data());
      filterer.Restart(raw.data());
    } else {
      filterer.Restart(nullptr);
    }
    for (int32_t y = block.first; y < block.first + block.count; ++y) {
      rows.Row(y, raw.data());
      const size_t at = filtered.size();
      filtered.resize(at + rowBytes + 1);
      filterer.Filter(raw.data(), filtered.data() + at);
    }
  }
  return filtered;
}

struct Trial {
  size_t layout = 0;
  FilterStrategy strategy = FilterStrategy::kNone;
  bool predictClear = false;
  size_t size = 0;
};

// A chunk's length, type and CRC around its data.
constexpr size_t kFraming = 12;

// The bytes a layout's own chunks take besides the rows: PLTE, tRNS and bKGD with their framing.
size_t ChunkBytes(const PngLayout& layout) {
  size_t bytes = layout.backgroundBytes > 0 ? kFraming + static_cast<size_t>(layout.backgroundBytes) : 0;
  if (layout.colorType == PngColorType::kPalette) bytes += kFraming + 3 * static_cast<size_t>(layout.paletteCount);
  if (layout.transparentCount > 0) bytes += kFraming + static_cast<size_t>(layout.transparentCount);
  return bytes;
}

const char* StrategyName(FilterStrategy strategy) {
  static const char* const kNames[kFilterStrategies] = {"none",  "sub",         "up",      "average",
                                                        "Paeth", "minimum sum", "entropy", "deflate cost"};
  return kNames[static_cast<int>(strategy)];
}

// A chunk every layout's file carries, written straight after the header.
struct SideChunk {
  char type[5];
  std::vector<uint8_t> data;
};

// What the colours are (sRGB or the profile), the resolution and the XMP, as the Standard file has them. False
// when the profile cannot be compressed: the file would lose it.
bool MakeSideChunks(const PngWriteJob& job, std::vector<SideChunk>& chunks) {
  if (job.colorChunk == ColorChunk::kSrgb) chunks.push_back({"sRGB", {kSrgbIntent}});
  if (job.colorChunk == ColorChunk::kIccp) {
    chunks.push_back({"iCCP", IccpChunkData(job.iccpKeyword, *job.iccProfile)});
    if (chunks.back().data.empty()) return false;
  }
  if (job.pixelsPerMetreX > 0) {
    SideChunk resolution{"pHYs", std::vector<uint8_t>(9, 0)};
    PutBigEndian32(resolution.data.data(), job.pixelsPerMetreX);
    PutBigEndian32(resolution.data.data() + 4, job.pixelsPerMetreY);
    resolution.data[8] = 1;  // the metre
    chunks.push_back(std::move(resolution));
  }
  if (job.xmp != nullptr) {
    // Keyword, its end, uncompressed, method 0, no language, no translated keyword, then the packet.
    SideChunk xmp{"iTXt", std::vector<uint8_t>(std::begin(kXmpKeyword), std::end(kXmpKeyword))};
    xmp.data.insert(xmp.data.end(), {0, 0, 0, 0});
    xmp.data.insert(xmp.data.end(), job.xmp->begin(), job.xmp->end());
    chunks.push_back(std::move(xmp));
  }
  return true;
}

// The bytes WriteSmallestFile writes.
size_t SmallestFileBytes(const PngLayout& layout, const ZlibStream& stream, const std::vector<SideChunk>& side) {
  const size_t idatChunks = std::max<size_t>(1, (stream.size + kIdatBytes - 1) / kIdatBytes);
  size_t sideBytes = 0;
  for (const SideChunk& chunk : side) sideBytes += kFraming + chunk.data.size();
  return 8 + (kFraming + 13) + sideBytes + ChunkBytes(layout) + stream.size + kFraming * idatChunks + kFraming;
}

// The PNG's chunks around the compressed rows, into the open file.
bool WriteSmallestFile(FILE* file, const PngWriteJob& job, const PngLayout& layout, const ZlibStream& stream,
                       const std::vector<SideChunk>& side) {
  uint8_t header[13];
  PutBigEndian32(header, static_cast<uint32_t>(job.width));
  PutBigEndian32(header + 4, static_cast<uint32_t>(job.height));
  header[8] = static_cast<uint8_t>(layout.bitDepth);
  header[9] = static_cast<uint8_t>(layout.colorType);
  header[10] = 0;  // deflate
  header[11] = 0;  // the five row filters
  header[12] = 0;  // no interlace
  if (!WritePngSignature(file) || !WritePngChunk(file, "IHDR", header, sizeof header)) return false;
  // Before PLTE, as PNG asks of sRGB and iCCP.
  for (const SideChunk& chunk : side) {
    if (!WritePngChunk(file, chunk.type, chunk.data.data(), chunk.data.size())) return false;
  }
  if (layout.colorType == PngColorType::kPalette) {
    uint8_t colors[3 * 256];
    uint8_t alphas[256];
    for (int32_t i = 0; i < layout.paletteCount; ++i) {
      colors[3 * i] = layout.palette[i].red;
      colors[3 * i + 1] = layout.palette[i].green;
      colors[3 * i + 2] = layout.palette[i].blue;
      alphas[i] = layout.palette[i].alpha;
    }
    if (!WritePngChunk(file, "PLTE", colors, static_cast<size_t>(3 * layout.paletteCount))) return false;
    if (layout.transparentCount > 0 &&
        !WritePngChunk(file, "tRNS", alphas, static_cast<size_t>(layout.transparentCount))) {
      return false;
    }
  }
  if (layout.backgroundBytes > 0 &&
      !WritePngChunk(file, "bKGD", layout.background, static_cast<size_t>(layout.backgroundBytes))) {
    return false;
  }
  for (size_t at = 0; at < stream.size; at += kIdatBytes) {
    const size_t part = std::min(kIdatBytes, stream.size - at);
    if (!WritePngChunk(file, "IDAT", stream.bytes.data() + at, part)) return false;
  }
  return WritePngChunk(file, "IEND", nullptr, 0);
}

enum class Outcome { Ok, Failed, Aborted };

// Runs `count` tasks that do not depend on each other on every core; the calling thread hears how many have
// ended. False when that answered false (no further task started).
bool RunTasks(int32_t count, const std::function<void(int32_t task)>& task,
              const std::function<bool(int32_t ended)>& ended) {
  RowBands tasks;
  tasks.height = count;
  tasks.bandRows = 1;
  tasks.threads = ReductionThreads();
  return RunRowBands(
      tasks,
      [&](int32_t, int32_t first, int32_t end) {
        for (int32_t i = first; i < end; ++i) task(i);
      },
      ended);
}

// A small image's filtered rows as one band at the strongest level, on the calling thread.
bool SmallestStream(const std::vector<uint8_t>& filtered, ZlibStream& stream) {
  ZlibBandOptions options;
  options.level = kFinalLevel;
  options.bandBytes = std::max<size_t>(filtered.size(), 1);
  return CompressZlibInBands(filtered.data(), filtered.size(), options, stream) == DeflateStatus::Ok;
}

// The trials: every layout with every way of filtering, compressed quickly. Sorted, the smallest first.
Outcome RunTrials(const PngWriteJob& job, const std::vector<PngLayout>& layouts,
                  const std::vector<std::unique_ptr<LayoutRows>>& layoutRows, WriterProgress& progress,
                  std::vector<Trial>& trials) {
  const size_t directBytes = static_cast<size_t>(job.height) * (layouts.front().RowBytes(job.width) + 1);
  const int strategies = directBytes <= kDeflateCostBytes ? kFilterStrategies : kFilterStrategies - 1;
  for (size_t l = 0; l < layouts.size(); ++l) {
    // Clear pixels keep their colours, or take what their filter predicts: whichever compresses better.
    for (int trial = 0; trial < strategies * (layouts[l].AlphaOffset() >= 0 ? 2 : 1); ++trial) {
      trials.push_back(Trial{l, static_cast<FilterStrategy>(trial % strategies), trial >= strategies, 0});
    }
  }
  const auto count = static_cast<int32_t>(trials.size());
  const bool finished = RunTasks(
      count,
      [&](int32_t i) {
        Trial& trial = trials[static_cast<size_t>(i)];
        const PngLayout& layout = layouts[trial.layout];
        const std::vector<RowBlock> blocks = TrialBlocks(job.height, layout.RowBytes(job.width));
        try {
          const std::vector<uint8_t> filtered =
              FilterBlocks(job, layout, *layoutRows[trial.layout], trial.strategy, trial.predictClear, blocks);
          const size_t size = ZlibStreamSize(filtered.data(), filtered.size(), kTrialLevel).value_or(0);
          // Scaled from the rows tried to the whole image, so that the chunks' own bytes weigh as they will.
          const double whole = static_cast<double>(job.height) / static_cast<double>(TrialRows(blocks));
          if (size > 0) trial.size = static_cast<size_t>(static_cast<double>(size) * whole) + ChunkBytes(layout);
        } catch (const std::bad_alloc&) {
          trial.size = 0;  // reported below
        }
      },
      [&](int32_t ended) {
        return progress.At(kCensusDone + (kTrialsDone - kCensusDone) * ended / std::max(count, 1));
      });
  if (!finished) return Outcome::Aborted;
  for (const Trial& trial : trials) {
    if (trial.size == 0) return Outcome::Failed;
  }
  std::stable_sort(trials.begin(), trials.end(), [](const Trial& a, const Trial& b) { return a.size < b.size; });
  return Outcome::Ok;
}

// Everything but the file: the choice and the compressed rows.
Outcome Optimize(const PngWriteJob& job, WriterProgress& progress, SmallestChoice& choice, ZlibStream& stream) {
  PixelCensus census;
  const auto keepGoing = [&] { return progress.At(0); };
  // A 16-bit file's layout is its Standard one: nothing to count.
  if (!job.SixteenBits() && !TakePixelCensus(job, keepGoing, census)) return Outcome::Aborted;
  if (!census.indexesInPalette) {
    DebugLog("Smallest: an index beyond the palette");
    return Outcome::Failed;
  }
  if (!progress.At(kCensusDone)) return Outcome::Aborted;

  const std::vector<PngLayout> layouts = CandidateLayouts(job, census);
  std::vector<std::unique_ptr<LayoutRows>> layoutRows;
  for (const PngLayout& layout : layouts) layoutRows.push_back(std::make_unique<LayoutRows>(job, layout));
  std::vector<Trial> trials;
  if (const Outcome tried = RunTrials(job, layouts, layoutRows, progress, trials); tried != Outcome::Ok) return tried;

  const auto filterWhole = [&](const Trial& trial) {
    return FilterBlocks(job, layouts[trial.layout], *layoutRows[trial.layout], trial.strategy, trial.predictClear,
                        {RowBlock{0, job.height}});
  };
  // A small image, trialled whole, is one band: its best few are compressed in earnest, each on a core of its
  // own, and the smallest kept.
  const bool whole = TrialBlocks(job.height, layouts.front().RowBytes(job.width)).size() == 1;
  if (whole) {
    const auto finalists = static_cast<int32_t>(std::min(kFinalists, trials.size()));
    std::vector<ZlibStream> streams(static_cast<size_t>(finalists));
    std::vector<char> made(static_cast<size_t>(finalists), 0);
    const bool finished = RunTasks(
        finalists,
        [&](int32_t f) {
          try {
            made[static_cast<size_t>(f)] =
                SmallestStream(filterWhole(trials[static_cast<size_t>(f)]), streams[static_cast<size_t>(f)]) ? 1 : 0;
          } catch (const std::bad_alloc&) {
            made[static_cast<size_t>(f)] = 0;
          }
        },
        [&](int32_t ended) { return progress.At(kTrialsDone + (1.0 - kTrialsDone) * ended / std::max(finalists, 1)); });
    if (!finished) return Outcome::Aborted;
    size_t best = 0;
    size_t bestBytes = 0;
    for (size_t at = 0; at < static_cast<size_t>(finalists); ++at) {
      if (made[at] == 0) return Outcome::Failed;
      const size_t bytes = streams[at].size + ChunkBytes(layouts[trials[at].layout]);
      if (at == 0 || bytes < bestBytes) {
        best = at;
        bestBytes = bytes;
      }
    }
    const Trial& trial = trials[best];
    stream = std::move(streams[best]);
    choice = SmallestChoice{layouts[trial.layout], trial.strategy, true};
    return progress.At(1.0) ? Outcome::Ok : Outcome::Aborted;
  }

  // A large one: the best trial's filters over every row, deflated in bands on every core.
  const Trial& trial = trials.front();
  const std::vector<uint8_t> filtered = filterWhole(trial);
  if (!progress.At(kFilteringDone)) return Outcome::Aborted;
  ZlibBandOptions options;
  options.level = kFinalLevel;
  options.threads = ReductionThreads();
  options.bandBytes = ZlibBandBytes(filtered.size());
  // The bar moves band by band through the deflate, the work's second half.
  const size_t bands = (filtered.size() + options.bandBytes - 1) / std::max<size_t>(options.bandBytes, 1);
  size_t bandsDone = 0;
  options.keepGoing = [&] {
    bandsDone = std::min(bandsDone + 1, bands);
    return progress.At(kFilteringDone + (1.0 - kFilteringDone) * static_cast<double>(bandsDone) /
                                            static_cast<double>(std::max<size_t>(bands, 1)));
  };
  switch (CompressZlibInBands(filtered.data(), filtered.size(), options, stream)) {
    case DeflateStatus::Aborted: return Outcome::Aborted;
    case DeflateStatus::OutOfMemory:
    case DeflateStatus::Failed: return Outcome::Failed;
    case DeflateStatus::Ok: break;
  }
  choice = SmallestChoice{layouts[trial.layout], trial.strategy};
  return progress.At(1.0) ? Outcome::Ok : Outcome::Aborted;
}

}  // namespace

PngResult EncodeSmallestPngFile(const platform::WidePath& path, const PngWriteJob& job, const ProgressReport& progress,
                                SmallestChoice* choice) {
  DebugLog("CompressPNG>>>>");
  if (job.pixels == nullptr || job.width <= 0 || job.height <= 0) return PngResult{};
  WriterProgress writerProgress(progress, job.height);
  SmallestChoice chosen;
  ZlibStream stream;
  Outcome outcome = Outcome::Failed;
  try {
    outcome = Optimize(job, writerProgress, chosen, stream);
  } catch (const std::bad_alloc&) {
    DebugLog("Smallest: out of memory");
  }
  if (outcome == Outcome::Aborted) return PngResult{PngStatus::Aborted, 0};
  if (outcome == Outcome::Failed) return PngResult{};
  std::vector<SideChunk> side;
  if (!MakeSideChunks(job, side)) return PngResult{};
  char line[96];
  std::snprintf(line, sizeof line, "Smallest: colour type %d, %d bits, %d entries, filters %s",
                static_cast<int>(chosen.layout.colorType), chosen.layout.bitDepth, chosen.layout.paletteCount,
                StrategyName(chosen.strategy));
  DebugLog(line);

  FILE* file = platform::OpenFile(path, "wb");
  if (file == nullptr) {
    DebugLog("png file open failed");
    return PngResult{};
  }
  if (chosen.small) {
    // A small picture's Standard file costs next to nothing to make, and now and then it is no larger.
    const PngResult standard = WritePng(file, job, nullptr);
    if (standard.status == PngStatus::Ok &&
        static_cast<size_t>(standard.size) <= SmallestFileBytes(chosen.layout, stream, side)) {
      std::fclose(file);
      DebugLog("Smallest: the Standard file is as small");
      chosen.standard = true;
      if (choice != nullptr) *choice = chosen;
      DebugLog("END CompressPNG()<<<");
      return standard;
    }
    std::fclose(file);
    file = platform::OpenFile(path, "wb");
    if (file == nullptr) {
      DebugLog("png file open failed");
      return PngResult{};
    }
  }
  if (choice != nullptr) *choice = chosen;
  const bool written = WriteSmallestFile(file, job, chosen.layout, stream, side);
  const bool flushed = written && std::fflush(file) == 0 && std::ferror(file) == 0;
  const int32_t size = flushed ? platform::FileSizeOf(file) : -1;
  std::fclose(file);
  if (size <= 0) {
    // What was written is not the PNG: no file rather than a broken one.
    DebugLog("catch inside CompressPNG");
    platform::DeleteFilePath(path);
    return PngResult{};
  }
  DebugLog("END CompressPNG()<<<");
  return PngResult{PngStatus::Ok, size};
}
