#include "png/deflate_bands.h"

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>

#include "base/row_bands.h"
#include "png/deflate_join.h"

namespace {

constexpr size_t kBandBytes = size_t{1} << 20;
// A band's data and its deflate data stay well inside what zlib's 32-bit counts hold.
constexpr size_t kMostBandBytes = size_t{1} << 30;
constexpr size_t kZlibHeaderBytes = 2;
constexpr size_t kAdlerBytes = 4;

struct CompressorFree {
  void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorFree>;

int LevelWithin(int level) { return std::clamp(level, 0, kStrongestDeflateLevel); }

// The band size asked for, or the default, and never so small that the bands would not count in int32_t.
size_t BandBytesFor(size_t size, size_t asked) {
  const size_t fewestBytes = size / INT32_MAX + 1;
  return std::clamp(asked > 0 ? asked : ZlibBandBytes(size), fewestBytes, kMostBandBytes);
}

// What a band's thread keeps from one band to the next: its compressor, and room for a band's deflate data as
// the compressor makes it.
struct BandWorker {
  Compressor compressor;
  PageBlock scratch;
};

// One band's deflate data, in a block of its own until the stream is put together.
struct BandOutput {
  PageBlock bytes;
  size_t size = 0;
  DeflateStatus status = DeflateStatus::Ok;
};

DeflateStatus CompressBand(BandWorker& worker, const uint8_t* data, size_t size, bool followed, BandOutput& output) {
  size_t made = libdeflate_deflate_compress(worker.compressor.get(), data, size, worker.scratch.data(),
                                            worker.scratch.size() - kOpenEndBytes);
  if (made == 0) return DeflateStatus::Failed;
  if (followed) {
    switch (OpenDeflateEnd(worker.scratch.data(), made)) {
      case OpenEndStatus::Ok: break;
      case OpenEndStatus::OutOfMemory: return DeflateStatus::OutOfMemory;
      case OpenEndStatus::Malformed: return DeflateStatus::Failed;
    }
  }
  output.bytes = PageBlock(made);
  if (!output.bytes) return DeflateStatus::OutOfMemory;
  std::memcpy(output.bytes.data(), worker.scratch.data(), made);
  output.size = made;
  return DeflateStatus::Ok;
}

// The header libdeflate gives its own zlib streams: deflate with a 32 KiB window, and the class of the level.
void WriteZlibHeader(int level, uint8_t* out) {
  const unsigned levelClass = level < 2 ? 0 : level < 6 ? 1 : level < 8 ? 2 : 3;
  unsigned header = 0x7800u | levelClass << 6;
  header |= 31 - header % 31;
  out[0] = static_cast<uint8_t>(header >> 8);
  out[1] = static_cast<uint8_t>(header);
}

void WriteBigEndian(uint32_t value, uint8_t* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

size_t ZlibBandBytes(size_t size) {
  const size_t bands = std::max<size_t>(size / kBandBytes + (size % kBandBytes != 0), 1);
  return std::max<size_t>(size / bands + (size % bands != 0), 1);
}

DeflateStatus CompressZlibInBands(const uint8_t* data, size_t size, const ZlibBandOptions& options, ZlibStream& out) {
  out = ZlibStream{};
  const int level = LevelWithin(options.level);
  const size_t bandBytes = BandBytesFor(size, options.bandBytes);
  const auto bandCount = static_cast<int32_t>(std::max<size_t>(size / bandBytes + (size % bandBytes != 0), 1));
  const int32_t workerCount = std::clamp(options.threads, 1, bandCount);

  const std::unique_ptr<BandWorker[]> workers(new (std::nothrow) BandWorker[workerCount]);
  const std::unique_ptr<BandOutput[]> bands(new (std::nothrow) BandOutput[bandCount]);
  if (!workers || !bands) return DeflateStatus::OutOfMemory;
  for (int32_t i = 0; i < workerCount; ++i) {
    BandWorker& worker = workers[i];
    worker.compressor.reset(libdeflate_alloc_compressor(level));
    if (!worker.compressor) return DeflateStatus::OutOfMemory;
    worker.scratch = PageBlock(libdeflate_deflate_compress_bound(worker.compressor.get(), bandBytes) + kOpenEndBytes);
    if (!worker.scratch) return DeflateStatus::OutOfMemory;
  }

  // A band that fails stops the others as a stop asked for would.
  std::atomic<bool> failed{false};
  const bool finished = RunRowBands(
      RowBands{bandCount, 1, workerCount},
      [&](int32_t worker, int32_t band, int32_t) {
        const size_t first = static_cast<size_t>(band) * bandBytes;
        const size_t length = std::min(bandBytes, size - first);
        BandOutput& output = bands[band];
        output.status = CompressBand(workers[worker], data + first, length, band + 1 < bandCount, output);
        if (output.status != DeflateStatus::Ok) failed = true;
      },
      [&](int32_t) { return !failed && (!options.keepGoing || options.keepGoing()); });
  for (int32_t band = 0; band < bandCount; ++band) {
    if (bands[band].status != DeflateStatus::Ok) return bands[band].status;
  }
  if (!finished) return DeflateStatus::Aborted;

  size_t total = kZlibHeaderBytes + kAdlerBytes;
  for (int32_t band = 0; band < bandCount; ++band) total += bands[band].size;
  PageBlock stream(total);
  if (!stream) return DeflateStatus::OutOfMemory;
  uint8_t* next = stream.data();
  WriteZlibHeader(level, next);
  next += kZlibHeaderBytes;
  for (int32_t band = 0; band < bandCount; ++band) {
    std::memcpy(next, bands[band].bytes.data(), bands[band].size);
    next += bands[band].size;
    bands[band].bytes.Reset();
  }
  WriteBigEndian(size > 0 ? libdeflate_adler32(1, data, size) : 1, next);
  out.bytes = std::move(stream);
  out.size = total;
  return DeflateStatus::Ok;
}

std::optional<size_t> ZlibStreamSize(const uint8_t* data, size_t size, int level) {
  const Compressor compressor(libdeflate_alloc_compressor(LevelWithin(level)));
  if (!compressor) return std::nullopt;
  const PageBlock scratch(libdeflate_zlib_compress_bound(compressor.get(), size));
  if (!scratch) return std::nullopt;
  const size_t made = libdeflate_zlib_compress(compressor.get(), data, size, scratch.data(), scratch.size());
  if (made == 0) return std::nullopt;
  return made;
}
