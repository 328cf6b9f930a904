// Windows side of the platform layer.
#include <windows.h>

#include <cstdio>

#include "base/platform.h"
#include "base/platform_internal.h"

namespace {
// The instance the library received when the process loaded it; in a test executable it stays null, which
// makes the module calls below answer for the executable itself.
HINSTANCE pluginInstance = nullptr;

const wchar_t* Wide(const platform::WidePath& path) { return reinterpret_cast<const wchar_t*>(path.c_str()); }
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) pluginInstance = instance;
  return TRUE;
}

namespace platform {

namespace internal {

int64_t FileOffset(FILE* file) { return _ftelli64(file); }

bool SeekFile(FILE* file, int64_t offset, int whence) { return _fseeki64(file, offset, whence) == 0; }

}  // namespace internal

void* AllocatePages(size_t bytes) {
  if (!internal::PageAllocationAllowed(bytes)) return nullptr;
  void* block = VirtualAlloc(nullptr, bytes == 0 ? 1 : bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (block != nullptr) internal::CountPageBlock(+1);
  return block;
}

void FreePages(void* block, size_t) {
  if (block == nullptr) return;
  VirtualFree(block, 0, MEM_RELEASE);
  internal::CountPageBlock(-1);
}

FILE* OpenFile(const WidePath& path, const char* mode) {
  if (!internal::OpeningAllowed(path, mode)) return nullptr;
  const WidePath wideMode = FromUtf8(mode);
  return internal::OpenedStream(_wfopen(Wide(path), reinterpret_cast<const wchar_t*>(wideMode.c_str())), mode);
}

bool DeleteFilePath(const WidePath& path) { return DeleteFileW(Wide(path)) != 0; }

bool ReplaceFilePath(const WidePath& from, const WidePath& to) {
  return MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

void* ModuleInstance() { return pluginInstance; }

WidePath ModuleFileName() {
  // Long enough for any path Windows can hand out, so an over-long one is seen whole and can be refused.
  WidePath buffer(32768, u'\0');
  const DWORD length =
      GetModuleFileNameW(pluginInstance, reinterpret_cast<wchar_t*>(&buffer[0]), static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return buffer;
}

void SetNativeModuleFileName(const WidePath&) {}

int32_t HostFileWrite(intptr_t file, const void* bytes, int32_t count) {
  if (!internal::HostFileWriteAllowed(count)) return -1;
  DWORD written = 0;
  if (!WriteFile(reinterpret_cast<HANDLE>(file), bytes, static_cast<DWORD>(count), &written, nullptr)) return -1;
  return static_cast<int32_t>(written);
}

int64_t HostFileSeek(intptr_t file, int64_t offset) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(reinterpret_cast<HANDLE>(file), distance, &position, FILE_BEGIN)) return -1;
  return position.QuadPart;
}

int64_t HostFilePosition(intptr_t file) {
  LARGE_INTEGER distance;
  distance.QuadPart = 0;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(reinterpret_cast<HANDLE>(file), distance, &position, FILE_CURRENT)) return -1;
  return position.QuadPart;
}

bool HostFileCut(intptr_t file, int64_t length) {
  return HostFileSeek(file, length) == length && SetEndOfFile(reinterpret_cast<HANDLE>(file));
}

const char* DebugLogPath() { return "c:\\VexlorinLog.txt"; }

void LowerThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

}  // namespace platform
