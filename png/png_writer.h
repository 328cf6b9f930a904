#pragma once
// Encodes ReducedImage as a PNG file at TempPngPath.
#include <cstdint>

// Returns the size of the finished file, 0 when it was not written.
int32_t CompressPNG();

// What CompressPNG returned last: a save must not copy in a file whose encoding failed.
extern int32_t LastCompressedSize;
