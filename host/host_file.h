#pragma once
// The two operations on the host's open destination file.
#include <cstdint>

#include "host/host_abi.h"

// Writes *count bytes at the file's position; *count becomes the number written.
// 0, or -20 when the write fails or is short.
OSErr HostFileWrite(intptr_t file, int32_t* count, const void* bytes);
// Moves to an offset from the beginning; 0 when the new position equals the offset, else -20.
OSErr HostFileMove(intptr_t file, int32_t offset);
