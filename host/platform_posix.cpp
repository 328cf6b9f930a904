// Native (Linux) side of the platform layer: the portable core runs inside the test host.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>

#include "host/platform.h"

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

void* AllocatePages(size_t bytes) {
  if (bytes == 0) bytes = 1;
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return block == MAP_FAILED ? nullptr : block;
}

void FreePages(void* block, size_t bytes) {
  if (block != nullptr) munmap(block, bytes == 0 ? 1 : bytes);
}

FILE* OpenFile(const WidePath& path, const char* mode) { return std::fopen(ToUtf8(path).c_str(), mode); }

bool DeleteFilePath(const WidePath& path) { return unlink(ToUtf8(path).c_str()) == 0; }

void* ModuleInstance() { return nullptr; }

WidePath ModuleFileName() { return NativeModuleFileName(); }

void SetNativeModuleFileName(const WidePath& path) { NativeModuleFileName() = path; }

int32_t HostFileWrite(intptr_t file, const void* bytes, int32_t count) {
  const ssize_t written = write(static_cast<int>(file), bytes, static_cast<size_t>(count));
  return written < 0 ? -1 : static_cast<int32_t>(written);
}

int64_t HostFileSeek(intptr_t file, int64_t offset) {
  const off_t position = lseek(static_cast<int>(file), static_cast<off_t>(offset), SEEK_SET);
  return position < 0 ? -1 : static_cast<int64_t>(position);
}

// The native build has no drive C:; the log goes to the working folder, so each test run keeps its own.
const char* DebugLogPath() { return "VexlorinLog.txt"; }

}  // namespace platform
