// Windows side of the platform layer.
#include <windows.h>

#include "host/platform.h"

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

void* AllocatePages(size_t bytes) {
  return VirtualAlloc(nullptr, bytes == 0 ? 1 : bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void FreePages(void* block, size_t) {
  if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
}

FILE* OpenFile(const WidePath& path, const char* mode) {
  const WidePath wideMode = FromUtf8(mode);
  return _wfopen(Wide(path), reinterpret_cast<const wchar_t*>(wideMode.c_str()));
}

bool DeleteFilePath(const WidePath& path) { return DeleteFileW(Wide(path)) != 0; }

void* ModuleInstance() { return pluginInstance; }

WidePath ModuleFileName() {
  // Long enough for any path Windows can hand out, so an over-long one is seen whole and can be refused.
  WidePath buffer(32768, u'\0');
  const DWORD length = GetModuleFileNameW(pluginInstance, reinterpret_cast<wchar_t*>(&buffer[0]),
                                          static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return buffer;
}

void SetNativeModuleFileName(const WidePath&) {}

int32_t HostFileWrite(intptr_t file, const void* bytes, int32_t count) {
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

const char* DebugLogPath() { return "c:\\VexlorinLog.txt"; }

}  // namespace platform
