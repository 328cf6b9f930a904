#include "png/deflate_estimate.h"

#include <zlib.h>

#include <memory>
#include <new>

size_t DeflatedSize(const uint8_t* data, size_t size, int level) {
  uLongf bound = compressBound(static_cast<uLong>(size));
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[bound]);
  if (out == nullptr) return 0;
  if (compress2(out.get(), &bound, data, static_cast<uLong>(size), level > 9 ? 9 : level) != Z_OK) return 0;
  return bound;
}

ZlibStatus CompressZlibStream(const uint8_t* data, size_t size, int level, const std::function<bool()>& keepGoing,
                              std::vector<uint8_t>& out) {
  if (keepGoing && !keepGoing()) return ZlibStatus::Aborted;
  uLongf bound = compressBound(static_cast<uLong>(size));
  out.resize(bound);
  if (compress2(out.data(), &bound, data, static_cast<uLong>(size), level > 9 ? 9 : level) != Z_OK) {
    return ZlibStatus::OutOfMemory;
  }
  out.resize(bound);
  return ZlibStatus::Ok;
}
