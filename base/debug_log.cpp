#include "base/debug_log.h"

#include <cstdio>
#include <cstring>

#include "base/platform.h"

namespace {
bool firstLineWritten = false;
}

void DebugLog(const char* line) {
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
