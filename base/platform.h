#pragma once
// The thin platform layer: everything that differs between Windows and the native test build.
// Dependency-free leaf: any layer may include it.
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

// Each UTF-16 code unit cut to its low byte: how narrow text of a wide path is shown in log lines.
std::string NarrowLowBytes(const WidePath& path);
// UTF-8 <-> UTF-16, for the native file system and for tools.
std::string ToUtf8(const WidePath& path);
WidePath FromUtf8(const std::string& text);

// Seams for tests: they make the operating system fail where it really can, so tests can see that every such
// failure ends cleanly. Compiled into every build but inert until a test sets them; the plug-in never does.
// Process-wide; the page counters may be read and moved from any thread, the rest only from the host's.

// The nth call of AllocatePages from now on (1: the next one) returns nullptr, once; 0 switches this off.
void FailNthPageAllocation(int32_t nth);
// Calls of AllocatePages since the last FailNthPageAllocation, failed or not.
int32_t PageAllocationCalls();
// The size the refused call asked for; 0 while none has been refused since the last FailNthPageAllocation.
size_t RefusedPageAllocationBytes();
// Blocks AllocatePages handed out and FreePages has not yet given back, over the whole process.
int32_t LivePageBlocks();

// A full disk for the files OpenFile opens for writing: together they take `bytes` more bytes, then every
// write fails with "no space". Negative switches this off. False where the build cannot do it (Windows), so
// a test can skip.
bool LimitFileWrites(int64_t bytes);
// The host's file takes `bytes` more bytes through HostFileWrite; a write that does not fit fails whole and
// writes nothing, as a write into a locked range does. Negative switches this off.
void LimitHostFileWrites(int64_t bytes);

}  // namespace platform
