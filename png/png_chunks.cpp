#include "png/png_chunks.h"

#include <zlib.h>

#include <climits>

namespace {

// A chunk's length is a 31-bit number.
constexpr size_t kLargestChunk = 0x7FFFFFFF;

bool Put(FILE* file, const uint8_t* bytes, size_t size) {
  return size == 0 || std::fwrite(bytes, 1, size, file) == size;
}

}  // namespace

bool WritePngSignature(FILE* file) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return Put(file, kSignature, sizeof kSignature);
}

bool WritePngChunk(FILE* file, const char (&type)[5], const uint8_t* data, size_t size) {
  if (size > kLargestChunk) return false;
  uint8_t head[8];
  PutBigEndian32(head, static_cast<uint32_t>(size));
  for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<uint8_t>(type[i]);
  uLong crc = crc32(0L, head + 4, 4);
  // zlib takes at most UINT_MAX bytes a call.
  for (size_t done = 0; done < size;) {
    const size_t part = size - done < UINT_MAX ? size - done : UINT_MAX;
    crc = crc32(crc, data + done, static_cast<uInt>(part));
    done += part;
  }
  uint8_t tail[4];
  PutBigEndian32(tail, static_cast<uint32_t>(crc));
  return Put(file, head, sizeof head) && Put(file, data, size) && Put(file, tail, sizeof tail);
}
