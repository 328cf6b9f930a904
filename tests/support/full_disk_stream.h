#pragma once
// A disk that fills up, under the files the plug-in writes: a stream over an open file that hands each write
// through only as far as the room left allows, then fails with "no space", as a full disk does.
#include <cstdio>

#include "testhost/write_room.h"

// False where the C runtime cannot put a stream of one's own over a file (Windows).
bool FullDiskStreamsAvailable();

// The stream over `file`, which owns `file` from now on and takes its bytes from `room` (which must outlive it);
// nullptr, with `file` closed, when it cannot be made. Where there are no such streams, `file` itself.
FILE* FullDiskStream(FILE* file, const char* mode, WriteRoom& room);
