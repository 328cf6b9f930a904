// Native (Linux) side of the platform layer: the portable core runs inside the test host.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>

#include "base/platform.h"
#include "base/platform_internal.h"

namespace platform {
namespace {

WidePath& NativeModuleFileName() {
  static WidePath path = [] {
    char buffer[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string executable = length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string("./vexhost");
    return FromUtf8(executable.substr(0, executable.rfind('/') + 1) + "Vexlorin.8bi");
  }();
  return path;
}

}  // namespace

namespace internal {

int64_t FileOffset(FILE* file) { return static_cast<int64_t>(ftello(file)); }

bool SeekFile(FILE* file, int64_t offset, int whence) { return fseeko(file, static_cast<off_t>(offset), whence) == 0; }

}  // namespace internal

void* AllocatePages(size_t bytes) {
  if (!internal::PageAllocationAllowed(bytes)) return nullptr;
  if (bytes == 0) bytes = 1;
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  internal::CountPageBlock(+1);
  return block;
}

void FreePages(void* block, size_t bytes) {
  if (block == nullptr) return;
  munmap(block, bytes == 0 ? 1 : bytes);
  internal::CountPageBlock(-1);
}

FILE* OpenFile(const WidePath& path, const char* mode) {
  if (!internal::OpeningAllowed(path, mode)) return nullptr;
  return internal::OpenedStream(std::fopen(ToUtf8(path).c_str(), mode), mode);
}

bool DeleteFilePath(const WidePath& path) { return unlink(ToUtf8(path).c_str()) == 0; }

bool ReplaceFilePath(const WidePath& from, const WidePath& to) {
  return std::rename(ToUtf8(from).c_str(), ToUtf8(to).c_str()) == 0;
}

void* ModuleInstance() { return nullptr; }

WidePath ModuleFileName() { return NativeModuleFileName(); }

void SetNativeModuleFileName(const WidePath& path) { NativeModuleFileName() = path; }

int32_t HostFileWrite(intptr_t file, const void* bytes, int32_t count) {
  if (!internal::HostFileWriteAllowed(count)) return -1;
  const ssize_t written = write(static_cast<int>(file), bytes, static_cast<size_t>(count));
  return written < 0 ? -1 : static_cast<int32_t>(written);
}

int64_t HostFileSeek(intptr_t file, int64_t offset) {
  const off_t position = lseek(static_cast<int>(file), static_cast<off_t>(offset), SEEK_SET);
  return position < 0 ? -1 : static_cast<int64_t>(position);
}

int64_t HostFilePosition(intptr_t file) {
  const off_t position = lseek(static_cast<int>(file), 0, SEEK_CUR);
  return position < 0 ? -1 : static_cast<int64_t>(position);
}

bool HostFileCut(intptr_t file, int64_t length) {
  return ftruncate(static_cast<int>(file), static_cast<off_t>(length)) == 0 && HostFileSeek(file, length) == length;
}

// The native build has no drive C:; the log goes to the working folder, so each test run keeps its own.
const char* DebugLogPath() { return "VexlorinLog.txt"; }

// The native build has no dialog to keep responsive.
void LowerThreadPriority() {}

}  // namespace platform
