// Windows side of the host's own files: every path reaches the system as UTF-16.
#include <windows.h>

#include "testhost/host_files.h"
#include "testhost/utf16_text.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// The full path the way the host would pass it (drive letter and all); the given path when that fails.
std::u16string FullPathOf(const std::u16string& path) {
  const DWORD needed = GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::u16string full(needed, u'\0');
  const DWORD length = GetFullPathNameW(Wide(path), needed, reinterpret_cast<wchar_t*>(&full[0]), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

}  // namespace

void (*LinkedPluginWriteLimit)(int64_t bytes) = nullptr;

FILE* OpenFileByUtf8Path(const std::string& utf8Path, const char* mode) {
  return _wfopen(Wide(Utf16FromUtf8(utf8Path)), Wide(Utf16FromUtf8(mode)));
}

bool DestinationFile::Open(const std::string& utf8Path) {
  Close();
  const std::u16string path = FullPathOf(Utf16FromUtf8(utf8Path));
  HANDLE file =
      CreateFileW(Wide(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(file);
  fullPath_ = path;
  return true;
}

// The plug-in is a DLL of its own here, out of the host's reach, and a byte-range lock taken through a second
// handle is not enforced on WriteFile under wine, so there is no portable way to make the file refuse.
bool DestinationFile::RefuseWritesAfter(int64_t) { return false; }

void DestinationFile::Close() {
  if (handle_ != kNoFile) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNoFile;
  fullPath_.clear();
}
