// The C runtime here has no way to put a stream over a stream of one's own, so there is no full disk to fake.
#include "tests/support/full_disk_stream.h"

bool FullDiskStreamsAvailable() { return false; }

FILE* FullDiskStream(FILE* file, const char*, WriteRoom&) { return file; }
