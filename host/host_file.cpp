#include "host/host_file.h"

#include "base/platform.h"

HostStatus HostFileWrite(intptr_t file, int32_t* count, const void* bytes) {
  const int32_t wanted = *count < 0 ? 0 : *count;
  const int32_t written = platform::HostFileWrite(file, bytes, wanted);
  *count = written < 0 ? 0 : written;
  return written == wanted ? HostStatus::Ok : HostStatus::WriteFailed;
}

HostStatus HostFileMove(intptr_t file, int32_t offset) {
  return platform::HostFileSeek(file, offset) == offset ? HostStatus::Ok : HostStatus::WriteFailed;
}
