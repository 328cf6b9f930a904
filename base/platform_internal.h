#pragma once
// Inside the platform layer only: what its common part needs from the per-system parts, and the state behind
// the test seams of platform.h, which is a pass-through until a test sets a seam.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace platform {
namespace internal {

// 64-bit position of an open file, -1 when unknown, and a 64-bit seek (whence as for fseek); per system.
int64_t FileOffset(FILE* file);
bool SeekFile(FILE* file, int64_t offset, int whence);

// Counts one call of AllocatePages; false when the seam says this one must fail.
bool PageAllocationAllowed(size_t bytes);
// Keeps the count of live blocks: +1 for each block handed out, -1 for each given back.
void CountPageBlock(int32_t change);

// True when the host's file may take `count` more bytes; takes them from the room left when it may.
bool TakeHostFileRoom(int64_t count);

// Room left on the simulated full disk; negative while there is no limit.
void SetFileWriteRoom(int64_t bytes);
int64_t FileWriteRoom();
// Takes up to `wanted` bytes of room and answers how many were granted (all of them while there is no limit).
size_t TakeFileWriteRoom(size_t wanted);

}  // namespace internal
}  // namespace platform
