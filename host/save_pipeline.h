#pragma once
// The handlers of a save: estimate start, write start (the whole save), filter file.
#include <cstdint>
#include <cstdio>

#include "base/platform.h"
#include "host/host_abi.h"
#include "host/host_status.h"

void EstimateStart();
// The whole save, from the move of the host's file to its start to the copy of the accepted PNG into it.
HostStatus WriteStart();
// The host's file moved to its start, while the call's result as the host handed it in is still Ok.
HostStatus FilterFile(HostStatus handedIn);

// Bytes the host should expect for an image of this shape.
int32_t EstimateSize(int32_t columns, int32_t rows, int32_t bitsPerChannel, int32_t planes, int32_t imageResourceSize,
                     int16_t imageMode);

// Copies the rest of source into the host's file in blocks of 64 KiB (the last one shorter), reporting each
// block before it is written; Cancelled without writing it when the host asks to abort, and WriteFailed when
// the source cannot be measured or read or the host's file refuses.
HostStatus CopyIntoHostFile(FILE* source, intptr_t hostFile);

// The limits of the path buffers: a destination path of at most 2042 characters (room for ".temp" and the
// terminator in 2048) and a module path shorter than 1024. False when the path does not fit.
bool BuildTempPngPath(const uint16_t* destination);
bool BuildPluginDir(const platform::WidePath& moduleFileName);
