#include "png/deflate_join.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace {

// zlib's reader of raw deflate data, ended on every path.
class RawInflater {
 public:
  RawInflater() { ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
  ~RawInflater() {
    if (ready_) inflateEnd(&stream_);
  }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;

  bool ready() const { return ready_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

// What inflate's data_type says after a Z_BLOCK step: at a block boundary (after an end-of-block code), with the
// block just ended the final one, and how many bits of the last byte taken it has not used.
constexpr int kAtBlockBoundary = 128;
constexpr int kInFinalBlock = 64;
constexpr int kUnusedBitsMask = 7;

// An empty stored block's LEN and NLEN, after its three header bits (not final, type 00) and the padding to a byte.
constexpr uint8_t kEmptyStoredLengths[] = {0x00, 0x00, 0xFF, 0xFF};

}  // namespace

OpenEndStatus OpenDeflateEnd(uint8_t* data, size_t& size) {
  RawInflater inflater;
  if (!inflater.ready()) return OpenEndStatus::OutOfMemory;
  z_stream& stream = inflater.stream();
  uint8_t* const end = data + size;
  stream.next_in = data;
  uint64_t blockStartBit = 0;  // where the block being read begins
  for (;;) {
    // What the blocks decode to only passes through.
    uint8_t sink[1 << 14];
    stream.next_out = sink;
    stream.avail_out = sizeof sink;
    stream.avail_in = static_cast<uInt>(std::min<size_t>(static_cast<size_t>(end - stream.next_in), UINT_MAX));
    const int result = inflate(&stream, Z_BLOCK);
    if (result == Z_MEM_ERROR) return OpenEndStatus::OutOfMemory;
    // The reader pauses after the final block, before its end: an end, an error or no progress come early.
    if (result != Z_OK) return OpenEndStatus::Malformed;
    if ((stream.data_type & kAtBlockBoundary) == 0) continue;
    const int unusedBits = stream.data_type & kUnusedBitsMask;
    const size_t taken = static_cast<size_t>(stream.next_in - data);
    if ((stream.data_type & kInFinalBlock) == 0) {
      blockStartBit = uint64_t{taken} * 8 - static_cast<uint64_t>(unusedBits);
      continue;
    }
    if (taken != size) return OpenEndStatus::Malformed;  // bytes after the final block
    // The final block's first bit is its BFINAL mark.
    data[blockStartBit / 8] &= static_cast<uint8_t>(~(1u << (blockStartBit % 8)));
    // The padding becomes the stored block's header bits (all zero); with fewer than three, a byte more.
    data[size - 1] &= static_cast<uint8_t>(0xFFu >> unusedBits);
    if (unusedBits < 3) data[size++] = 0;
    for (const uint8_t byte : kEmptyStoredLengths) data[size++] = byte;
    return OpenEndStatus::Ok;
  }
}
