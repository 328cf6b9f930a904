// POSIX side of the host's own files: paths are UTF-8 already.
#include <fcntl.h>
#include <unistd.h>

#include <climits>

#include "testhost/host_files.h"
#include "testhost/utf16_text.h"

namespace {

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char folder[PATH_MAX] = {};
  if (getcwd(folder, sizeof folder) == nullptr) return path;
  return std::string(folder) + "/" + path;
}

}  // namespace

void (*LinkedPluginWriteLimit)(int64_t bytes) = nullptr;

FILE* OpenFileByUtf8Path(const std::string& utf8Path, const char* mode) { return std::fopen(utf8Path.c_str(), mode); }

bool DestinationFile::Open(const std::string& utf8Path) {
  Close();
  const int descriptor = open(utf8Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (descriptor < 0) return false;
  handle_ = descriptor;
  fullPath_ = Utf16FromUtf8(AbsolutePath(utf8Path));
  return true;
}

bool DestinationFile::RefuseWritesAfter(int64_t bytes) {
  // A POSIX file cannot refuse one writer part-way, so the linked plug-in's own platform layer does it.
  if (handle_ == kNoFile || LinkedPluginWriteLimit == nullptr) return false;
  LinkedPluginWriteLimit(bytes);
  limited_ = true;
  return true;
}

void DestinationFile::Close() {
  if (limited_) LinkedPluginWriteLimit(-1);
  limited_ = false;
  if (handle_ != kNoFile) close(static_cast<int>(handle_));
  handle_ = kNoFile;
  fullPath_.clear();
}
