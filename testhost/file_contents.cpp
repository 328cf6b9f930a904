#include "testhost/file_contents.h"

#include <cstdio>

#include "testhost/host_files.h"

std::optional<std::string> ReadFileContents(const std::string& utf8Path) {
  FILE* file = OpenFileByUtf8Path(utf8Path, "rb");
  if (file == nullptr) return std::nullopt;
  std::string contents;
  char block[4096];
  for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) contents.append(block, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return contents;
}
