#pragma once
// The thin platform layer: everything that differs between Windows and the native test build.
// Dependency-free leaf: any layer may include it. Tests stand between it and the system through
// base/platform_seam.h.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// Paths arrive from the host as UTF-16 and stay UTF-16 until the operating system sees them.
using WidePath = std::u16string;

// Page-granular, zero-filled memory from the virtual-memory allocator; nullptr when it cannot be had.
void* AllocatePages(size_t bytes);
void FreePages(void* block, size_t bytes);

// C runtime file opened by a wide path; mode as for fopen ("rb", "wb").
FILE* OpenFile(const WidePath& path, const char* mode);
bool DeleteFilePath(const WidePath& path);
// Moves the file at `from` to `to`, replacing a file there; false when it could not.
bool ReplaceFilePath(const WidePath& from, const WidePath& to);

// Size of an open file without disturbing its position (remember, seek to end, tell, seek back); -1 when the
// file system cannot say or the size does not fit 32 bits, so that a file of 4 GiB and more never reads as a
// small one.
int32_t FileSizeOf(FILE* file);

// The module instance the plug-in was loaded as (HINSTANCE on Windows; nullptr in the native build).
void* ModuleInstance();

// Full file name of the module the plug-in code lives in.
WidePath ModuleFileName();
// Native build only: there the code is linked into the test host, which names the plug-in file it stands
// for (by default Vexlorin.8bi beside the executable).
void SetNativeModuleFileName(const WidePath& path);

// The host's open destination file (a Windows file handle; a file descriptor in the native build).
// Write returns the number of bytes written, or -1 on failure.
int32_t HostFileWrite(intptr_t file, const void* bytes, int32_t count);
// Moves to an absolute offset; returns the new position, or -1 on failure.
int64_t HostFileSeek(intptr_t file, int64_t offset);
// The current position, or -1 on failure.
int64_t HostFilePosition(intptr_t file);
// Ends the file at `length` bytes and moves there; false on failure.
bool HostFileCut(intptr_t file, int64_t length);

// Where the diagnostic log lives.
const char* DebugLogPath();

// Background work (a refresh, a band of rows) yields to the thread that answers the user: the calling thread
// runs below normal priority from now on, where the system has such a thing.
void LowerThreadPriority();

// The most bytes one process can hope to address: 2 GiB for 32-bit code (the user address space of a process
// that is not large-address aware), 128 TiB for 64-bit code. Size limits are checked against this in 64 bits.
uint64_t AddressSpaceBytes();

// UTF-8 <-> UTF-16, for the native file system and for tools.
std::string ToUtf8(const WidePath& path);
WidePath FromUtf8(const std::string& text);

}  // namespace platform
