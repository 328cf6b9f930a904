#include "ui/settings_file.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "base/platform.h"
#include "records/save_paths.h"

namespace {

const char16_t kSettingsFileName[] = u"Vexlorin.ini";
const char kHeader[] = "Parameters for Brindlewerks Vexlorin format plug-in";

// Room for a line, its ending byte and a terminating zero.
constexpr size_t kLineBufferBytes = 1024;
constexpr size_t kLongestLine = kLineBufferBytes - 1;  // content plus ending byte
constexpr size_t kKeyLength = 4;
constexpr size_t kLongestValueRun = 64;

const SaveOptionField* FindField(std::string_view key) {
  for (const SaveOptionField& field : kSaveOptionFields) {
    if (key == field.settingsKey) return &field;
  }
  return nullptr;
}

// Line feed, carriage return, the other low control bytes, NUL and every byte of 128 or more end a line.
bool EndsLine(char byte) { return static_cast<int8_t>(byte) <= 13; }
// The same test on a byte as the file holds it, before tabs become blanks.
bool EndsLineRaw(char byte) { return byte != '\t' && EndsLine(byte); }

bool IsValueCharacter(char c) {
  return (c >= '0' && c <= '9') || c == ',' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

// The integer at the front of text, C style: an optional sign, then decimal digits up to the first other
// character; nothing numeric gives 0. Out-of-range values stop at the int32 limits, as a 32-bit strtol does.
int32_t DecimalPrefix(std::string_view text) {
  size_t position = 0;
  bool negative = false;
  if (position < text.size() && (text[position] == '-' || text[position] == '+')) {
    negative = text[position] == '-';
    ++position;
  }
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()} : std::numeric_limits<int32_t>::max();
  int64_t magnitude = 0;
  for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position) {
    magnitude = magnitude * 10 + (text[position] - '0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

size_t SkipBlanks(std::string_view line, size_t position) {
  while (position < line.size() && line[position] == ' ') ++position;
  return position;
}

// One line with its tabs turned into blanks and its ending byte kept as the last character.
enum class LineRead { kLine, kTooLong, kEnd };

LineRead ReadLine(std::string_view bytes, size_t& position, std::string& line) {
  line.clear();
  bool tooLong = false;
  while (position < bytes.size()) {
    char byte = bytes[position++];
    if (byte == '\t') byte = ' ';
    if (!tooLong) {
      if (line.size() == kLongestLine) {
        tooLong = true;  // the rest, up to its ending byte, is dropped with it
        line.clear();
      } else {
        line += byte;
      }
    }
    if (EndsLine(byte)) return tooLong ? LineRead::kTooLong : LineRead::kLine;
  }
  return LineRead::kEnd;  // a line the file cut short is not used
}

void ApplyLine(std::string_view line, SaveOptionsRecord& options) {
  const size_t start = SkipBlanks(line, 0);
  if (line.size() - start < kKeyLength || line[start] == ';') return;
  const SaveOptionField* field = FindField(line.substr(start, kKeyLength));
  if (field == nullptr) return;
  const size_t valueStart = SkipBlanks(line, start + kKeyLength);
  size_t valueEnd = valueStart;
  while (valueEnd < line.size() && valueEnd - valueStart < kLongestValueRun && IsValueCharacter(line[valueEnd])) {
    ++valueEnd;
  }
  StoreSaveOption(options, *field, DecimalPrefix(line.substr(valueStart, valueEnd - valueStart)));
}

platform::WidePath SettingsPathIn(const platform::WidePath& pluginDir) { return pluginDir + kSettingsFileName; }

}  // namespace

std::string FormatCommentLine(std::string_view text) {
  std::string line;
  if (text.empty() || text.front() != ';') line += ';';
  line += text;
  line += '\n';
  return line;
}

std::string FormatSettings(const SaveOptionsRecord& options) {
  std::string text = FormatCommentLine(kHeader);
  for (const SaveOptionField& field : kSaveOptionFields) {
    char line[128];
    std::snprintf(line, sizeof line, "%s %d %s\n", field.settingsKey, static_cast<int>(ReadSaveOption(options, field)),
                  field.comment);
    text += line;
  }
  return text;
}

void ParseSettings(std::string_view bytes, SaveOptionsRecord& options) {
  size_t position = 0;
  std::string line;
  for (;;) {
    const LineRead read = ReadLine(bytes, position, line);
    if (read == LineRead::kEnd) return;
    if (read == LineRead::kLine) ApplyLine(line, options);
  }
}

void LoadSettings() {
  const platform::WidePath settingsPath = SettingsPathIn(PluginDir);
  FILE* file = platform::OpenFile(settingsPath, "rb");
  if (file == nullptr) return;
  // Block by block, handing on whole lines only, so that a file of any length needs no more memory than a block
  // and a line: a line too long to keep is passed over as it arrives, up to its ending byte.
  std::string pending;       // the start of a line whose ending has not arrived yet
  bool passingOver = false;  // inside a line too long to keep
  char block[4096];
  size_t count = 0;
  while ((count = std::fread(block, 1, sizeof block, file)) > 0) {
    size_t start = 0;
    if (passingOver) {
      while (start < count && !EndsLineRaw(block[start])) ++start;
      if (start == count) continue;
      ++start;  // the ending byte belongs to the dropped line
      passingOver = false;
    }
    pending.append(block + start, count - start);
    size_t lineEnd = pending.size();
    while (lineEnd > 0 && !EndsLineRaw(pending[lineEnd - 1])) --lineEnd;
    if (lineEnd > 0) {
      ParseSettings(std::string_view(pending).substr(0, lineEnd), SaveOptions);
      pending.erase(0, lineEnd);
    }
    // As the reader of a whole file would: a line of this many bytes before its ending is too long.
    if (pending.size() >= kLongestLine) {
      pending.clear();
      passingOver = true;
    }
  }
  std::fclose(file);
  // What is left has no ending byte: a last line the file cut short, which is not used.
}

void SaveSettings() {
  const platform::WidePath settingsPath = SettingsPathIn(PluginDir);
  FILE* file = platform::OpenFile(settingsPath, "wb");
  if (file == nullptr) return;
  const std::string text = FormatSettings(SaveOptions);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}
