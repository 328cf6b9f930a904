#include "base/platform_seam.h"

#include <atomic>
#include <cstring>

#include "base/platform_internal.h"

namespace platform {
namespace {

std::atomic<Seam*> installedSeam{nullptr};

}  // namespace

void InstallSeam(Seam* seam) { installedSeam = seam; }

namespace internal {

bool PageAllocationAllowed(size_t bytes) {
  Seam* seam = installedSeam;
  return seam == nullptr || seam->AllowPageAllocation(bytes);
}

void CountPageBlock(int32_t change) {
  if (Seam* seam = installedSeam) seam->PageBlocksChanged(change);
}

bool OpeningAllowed(const WidePath& path, const char* mode) {
  Seam* seam = installedSeam;
  return seam == nullptr || seam->AllowOpening(path, mode);
}

FILE* OpenedStream(FILE* file, const char* mode) {
  Seam* seam = installedSeam;
  const bool writes = std::strpbrk(mode, "wa+") != nullptr;
  return seam != nullptr && file != nullptr && writes ? seam->StreamForWriting(file, mode) : file;
}

bool HostFileWriteAllowed(int64_t count) {
  Seam* seam = installedSeam;
  return seam == nullptr || seam->AllowHostFileWrite(count);
}

void ThreadStarting() {
  if (Seam* seam = installedSeam) seam->ThreadStarting();
}

}  // namespace internal
}  // namespace platform
