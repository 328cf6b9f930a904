#pragma once
// How many bytes deflate makes of a buffer: the measure by which the smallest file's choices are made.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The size of the raw deflate stream of `size` bytes at `level` (1 fast .. 12 strongest); 0 when it cannot be
// made (no memory).
size_t DeflatedSize(const uint8_t* data, size_t size, int level);

// One zlib stream (header, deflate data at `level`, Adler-32) of `size` bytes into `out`. keepGoing is asked
// between parts of the work; false when it answered false or the memory could not be had.
enum class ZlibStatus { Ok, OutOfMemory, Aborted };
ZlibStatus CompressZlibStream(const uint8_t* data, size_t size, int level, const std::function<bool()>& keepGoing,
                              std::vector<uint8_t>& out);
