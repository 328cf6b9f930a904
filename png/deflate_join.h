#pragma once
// Makes a complete raw deflate stream one that more deflate data may follow, so that parts compressed on their own
// join into one stream: the last block loses its final mark and an empty stored block closes the part on a byte
// boundary, the end a sync flush gives.
#include <cstddef>
#include <cstdint>

// The most bytes OpenDeflateEnd adds to a part.
constexpr size_t kOpenEndBytes = 5;

// How opening a part's end went: OutOfMemory when zlib's reader could not have its state, Malformed when the part
// is not one whole raw deflate stream (the part is then left as it was).
enum class [[nodiscard]] OpenEndStatus{Ok, OutOfMemory, Malformed};

// Rewrites the raw deflate stream data[0, size) in place: its last block is no longer final, and an empty
// non-final stored block follows it; `size` grows by 4 or 5 bytes, for which `data` has room (kOpenEndBytes). Reads
// the stream through once with zlib's inflater, to find where its last block begins and the padding after it.
OpenEndStatus OpenDeflateEnd(uint8_t* data, size_t& size);
