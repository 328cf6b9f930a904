#pragma once
// Inside the platform layer only: what its common part needs from the per-system parts, and where the per-system
// parts ask the test seam (base/platform_seam.h), each a pass-through while none is installed.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "base/platform.h"

namespace platform {
namespace internal {

// 64-bit position of an open file, -1 when unknown, and a 64-bit seek (whence as for fseek); per system.
int64_t FileOffset(FILE* file);
bool SeekFile(FILE* file, int64_t offset, int whence);

// False when the seam refuses this call of AllocatePages.
bool PageAllocationAllowed(size_t bytes);
// Tells the seam of a block handed out (+1) or given back (-1).
void CountPageBlock(int32_t change);

// False when the seam makes this opening fail.
bool OpeningAllowed(const WidePath& path, const char* mode);
// The stream OpenFile hands out for the file it opened (null when it could not): the file itself, or for a
// file opened for writing whatever the seam puts in its place.
FILE* OpenedStream(FILE* file, const char* mode);

// False when the seam fails this write into the host's file.
bool HostFileWriteAllowed(int64_t count);

// Throws when the seam makes this thread's start fail.
void ThreadStarting();

}  // namespace internal
}  // namespace platform
