#include "host/host_file.h"

#include "base/platform.h"

OSErr HostFileWrite(intptr_t file, int32_t* count, const void* bytes) {
  const int32_t wanted = *count < 0 ? 0 : *count;
  const int32_t written = platform::HostFileWrite(file, bytes, wanted);
  *count = written < 0 ? 0 : written;
  return written == wanted ? kNoErr : kWriteErr;
}

OSErr HostFileMove(intptr_t file, int32_t offset) {
  return platform::HostFileSeek(file, offset) == offset ? kNoErr : kWriteErr;
}
