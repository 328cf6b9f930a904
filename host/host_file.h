#pragma once
// The two operations on the host's open destination file.
#include <cstdint>

#include "host/host_status.h"

// Writes *count bytes at the file's position; *count becomes the number written. WriteFailed when the write
// fails or is short.
HostStatus HostFileWrite(intptr_t file, int32_t* count, const void* bytes);
// Moves to an offset from the beginning; WriteFailed unless the new position equals the offset.
HostStatus HostFileMove(intptr_t file, int32_t offset);
