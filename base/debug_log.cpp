#include "base/debug_log.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "base/platform.h"

namespace {
// The preview's refresh logs from its own thread: one line at a time.
std::mutex logLines;
bool firstLineWritten = false;
}  // namespace

void DebugLog(const char* line) {
  const std::lock_guard<std::mutex> oneLine(logLines);
  // Opened and closed per line so that the log survives a crash of the host.
  FILE* file = std::fopen(platform::DebugLogPath(), firstLineWritten ? "ab" : "wb");
  if (file == nullptr) return;
  firstLineWritten = true;
  std::fwrite(line, 1, std::strlen(line), file);
  std::fputc('\n', file);
  std::fclose(file);
}

void DebugLog(const char* format, int value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  DebugLog(text);
}
