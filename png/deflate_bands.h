#pragma once
// Compresses a buffer (an image's filtered rows, handed in whole) into one zlib stream with libdeflate, in bands on
// several threads. Each band is compressed on its own, its matches never reaching back into the band before it,
// and the bands' deflate data are joined into one stream the way a sync flush joins them (png/deflate_join.h),
// which any inflater decodes to the whole buffer. The bytes made depend on the data, the level and the band size,
// never on the number of threads.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "base/page_block.h"

// How a compression ended. Failed: libdeflate made no deflate data for a band, or data that would not join; never
// seen, it would be a fault of the library.
enum class [[nodiscard]] DeflateStatus{Ok, OutOfMemory, Aborted, Failed};

// libdeflate's levels: 0 stores, 1 is the fastest, 12 the smallest and slowest.
constexpr int kStrongestDeflateLevel = 12;

struct ZlibBandOptions {
  int level = kStrongestDeflateLevel;  // 0 .. 12; a level outside is taken as the nearest
  int32_t threads = 1;                 // threads that compress bands, at least 1 (ReductionThreads(): one per core)
  size_t bandBytes = 0;                // bytes per band (the last may be shorter); 0: ZlibBandBytes(size)
  // Asked on the calling thread each time bands have ended; once it answers false no further band starts and the
  // call ends Aborted. None: the call runs to its end.
  std::function<bool()> keepGoing;
};

// A zlib stream (RFC 1950: header, deflate data, Adler-32 of all the data) in a block of its own: bytes[0, size).
struct ZlibStream {
  PageBlock bytes;
  size_t size = 0;
};

// The bands a buffer of `size` bytes is cut into when the caller names no size: about 1 MiB each, of equal sizes,
// so that the bands' independence costs well under a percent of the stream and a large image gives every core
// several; a buffer up to 1 MiB is one band.
size_t ZlibBandBytes(size_t size);

// Compresses data[0, size) into `out`, cleared first and filled only when the call ends Ok. Nothing else is
// allocated for the caller; the threads have all ended when it returns.
DeflateStatus CompressZlibInBands(const uint8_t* data, size_t size, const ZlibBandOptions& options, ZlibStream& out);

// The size of the zlib stream libdeflate makes of data[0, size) at `level` in one piece, on the calling thread: the
// measure of what a choice of filters costs. None when memory runs out.
std::optional<size_t> ZlibStreamSize(const uint8_t* data, size_t size, int level);
