#pragma once
// The PNG file format's framing, for files written without the library: the signature, and chunks with their
// length and CRC. Written straight into an open file.
#include <cstddef>
#include <cstdint>
#include <cstdio>

// The eight bytes every PNG file starts with. False when the file does not take them.
bool WritePngSignature(FILE* file);

// One chunk: its length, the four letters of its type, the data and the CRC of type and data. False when the
// file does not take it or the data is too long for a chunk.
bool WritePngChunk(FILE* file, const char (&type)[5], const uint8_t* data, size_t size);

// Big-endian, as every number in a PNG file.
inline void PutBigEndian32(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value >> 24);
  out[1] = static_cast<uint8_t>(value >> 16);
  out[2] = static_cast<uint8_t>(value >> 8);
  out[3] = static_cast<uint8_t>(value);
}
