#pragma once
// The faults tests make the operating system show the plug-in, through the platform seam (base/platform_seam.h):
// page memory refused, a disk or the host's file that fills up, a file that cannot be opened, a thread that
// cannot be started. The seam is installed before the test program's first test and stays; it passes everything
// through until a test sets a fault, and counts the page blocks alive meanwhile. Set faults while no thread of
// the plug-in runs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/platform.h"

namespace faults {

// The nth page allocation from now on (1: the next one) is refused, once; 0 switches this off. Either way the
// allocations are counted again from 0.
void FailNthPageAllocation(int32_t nth);
// Page allocations asked for since the last FailNthPageAllocation, refused or not.
int32_t PageAllocationCalls();
// The size the refused allocation asked for; 0 while none has been refused since the last FailNthPageAllocation.
size_t RefusedPageAllocationBytes();
// Page blocks handed out and not yet given back, over the whole program.
int32_t LivePageBlocks();

// A full disk for the files the plug-in opens for writing: together they take `bytes` more bytes, then every
// write fails with "no space". Negative switches this off. False where the test build cannot do it (Windows), so
// a test can skip.
bool LimitFileWrites(int64_t bytes);
// The host's file takes `bytes` more bytes; a write that does not fit fails whole and writes nothing, as a write
// into a locked range does. Negative switches this off.
void LimitHostFileWrites(int64_t bytes);

// Every opening of exactly `path` with exactly `mode` fails; an empty path switches this off.
void FailOpening(const platform::WidePath& path, const std::string& mode);

enum class ThreadStartFault { kNone, kSystemError, kOutOfMemory };
// From the nth thread start from now on (1: the next one) every start throws: std::system_error or
// std::bad_alloc; kNone switches this off. Either way the starts are counted again from 0.
void FailThreadStartsFrom(int32_t nth, ThreadStartFault fault);
// Thread starts asked for since the last FailThreadStartsFrom, failed or not.
int32_t ThreadStarts();

// Switches every fault off; the live page blocks go on being counted.
void SwitchAllOff();

}  // namespace faults
