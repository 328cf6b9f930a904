#include "testhost/command_line.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

const char kVexhostUsage[] =
    "usage: vexhost [--plugin PATH] save INPUT OUTPUT [--param KEY=INT]... [--record FILE] [--cancel]\n"
    "                                    [--pick RRGGBB] [--ui SCRIPT] [--fail-write-after N]\n"
    "                                    [--play-info N] [--abort-after N]\n"
    "                                    [--embed-profile [--icc FILE]] [--resolution DPI] [--xmp FILE]\n"
    "                                    [--deep-modes]\n"
    "       vexhost [--plugin PATH] estimate INPUT [--deep-modes]\n"
    "       vexhost [--plugin PATH] about [--ui SCRIPT]\n";

namespace {

std::optional<int32_t> IntegerFromText(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<DescriptorItem> ParameterFromText(const std::string& text) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return std::nullopt;
  const std::optional<DescriptorKeyID> key = KeyFromText(text.substr(0, equals));
  const std::optional<int32_t> value = IntegerFromText(text.substr(equals + 1));
  if (!key || !value) return std::nullopt;
  return DescriptorItem{*key, *value};
}

std::optional<int64_t> ByteCountFromText(const std::string& text) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return std::nullopt;
  return static_cast<int64_t>(value);
}

bool ColorFromText(const std::string& text, uint8_t (&color)[3]) {
  if (text.size() != 6) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  const unsigned long value = std::strtoul(text.c_str(), nullptr, 16);
  color[0] = static_cast<uint8_t>(value >> 16);
  color[1] = static_cast<uint8_t>(value >> 8);
  color[2] = static_cast<uint8_t>(value);
  return true;
}

bool IsSaveOption(const std::string& word) {
  return word == "--param" || word == "--record" || word == "--cancel" || word == "--pick" ||
         word == "--fail-write-after" || word == "--play-info" || word == "--abort-after" ||
         word == "--embed-profile" || word == "--icc" || word == "--resolution" || word == "--xmp";
}

}  // namespace

std::optional<DescriptorKeyID> KeyFromText(const std::string& text) {
  if (text.size() != 4) return std::nullopt;
  DescriptorKeyID key = 0;
  for (char c : text) {
    if (c < 0x20 || c > 0x7E) return std::nullopt;
    key = (key << 8) | static_cast<unsigned char>(c);
  }
  return key;
}

std::string KeyText(DescriptorKeyID key) {
  return {static_cast<char>(key >> 24), static_cast<char>(key >> 16), static_cast<char>(key >> 8),
          static_cast<char>(key)};
}

std::optional<VexhostArguments> ParseVexhostArguments(const std::vector<std::string>& arguments, std::string* error) {
  VexhostArguments parsed;
  std::vector<std::string> operands;
  bool saveOptionSeen = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const bool takesValue = word == "--plugin" || word == "--param" || word == "--record" || word == "--pick" ||
                            word == "--ui" || word == "--fail-write-after" || word == "--play-info" ||
                            word == "--abort-after" || word == "--icc" || word == "--resolution" || word == "--xmp";
    if (takesValue && i + 1 >= arguments.size()) {
      *error = word + " needs a value";
      return std::nullopt;
    }
    if (IsSaveOption(word)) saveOptionSeen = true;
    if (word == "--plugin") {
      parsed.pluginPath = arguments[++i];
    } else if (word == "--param") {
      const std::optional<DescriptorItem> item = ParameterFromText(arguments[++i]);
      if (!item) {
        *error = "--param wants KEY=INT with a four-character KEY and a 32-bit integer, not '" + arguments[i] + "'";
        return std::nullopt;
      }
      parsed.parameters.push_back(*item);
    } else if (word == "--record") {
      parsed.recordPath = arguments[++i];
    } else if (word == "--cancel") {
      parsed.cancel = true;
    } else if (word == "--pick") {
      if (!ColorFromText(arguments[++i], parsed.pick)) {
        *error = "--pick wants six hexadecimal digits RRGGBB, not '" + arguments[i] + "'";
        return std::nullopt;
      }
    } else if (word == "--ui") {
      parsed.uiScript = arguments[++i];
    } else if (word == "--fail-write-after") {
      const std::optional<int64_t> bytes = ByteCountFromText(arguments[++i]);
      if (!bytes) {
        *error = "--fail-write-after wants a byte count of 0 or more, not '" + arguments[i] + "'";
        return std::nullopt;
      }
      parsed.failWriteAfter = *bytes;
    } else if (word == "--play-info") {
      const std::optional<int32_t> value = IntegerFromText(arguments[++i]);
      if (!value || *value < INT16_MIN || *value > INT16_MAX) {
        *error =
            "--play-info wants a 16-bit number (0 dialog if needed, 1 dialog, 2 silent), not '" + arguments[i] + "'";
        return std::nullopt;
      }
      parsed.playInfo = static_cast<int16_t>(*value);
    } else if (word == "--abort-after") {
      const std::optional<int32_t> value = IntegerFromText(arguments[++i]);
      if (!value || *value < 1) {
        *error = "--abort-after wants a call number of 1 or more, not '" + arguments[i] + "'";
        return std::nullopt;
      }
      parsed.abortAfter = *value;
    } else if (word == "--embed-profile") {
      parsed.embedProfile = true;
    } else if (word == "--deep-modes") {
      parsed.deepModes = true;
    } else if (word == "--icc" || word == "--xmp") {
      std::string& path = word == "--icc" ? parsed.iccPath : parsed.xmpPath;
      path = arguments[++i];
      if (path.empty()) {
        *error = word + " wants a file name";
        return std::nullopt;
      }
    } else if (word == "--resolution") {
      const std::optional<int32_t> value = IntegerFromText(arguments[++i]);
      if (!value || *value < 1 || *value > kLargestResolution) {
        *error = "--resolution wants pixels per inch from 1 to " + std::to_string(kLargestResolution) + ", not '" +
                 arguments[i] + "'";
        return std::nullopt;
      }
      parsed.resolution = *value;
    } else if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
      *error = "unknown option " + word;
      return std::nullopt;
    } else {
      operands.push_back(word);
    }
  }

  if (operands.empty()) {
    *error = "no command given";
    return std::nullopt;
  }
  const std::string& command = operands[0];
  size_t wanted = 0;
  if (command == "save") {
    parsed.command = VexhostCommand::kSave;
    wanted = 2;
  } else if (command == "estimate") {
    parsed.command = VexhostCommand::kEstimate;
    wanted = 1;
  } else if (command == "about") {
    parsed.command = VexhostCommand::kAbout;
  } else {
    *error = "unknown command '" + command + "'";
    return std::nullopt;
  }
  if (operands.size() - 1 != wanted) {
    *error = command + " takes " + std::to_string(wanted) + " file name" + (wanted == 1 ? "" : "s");
    return std::nullopt;
  }
  if (saveOptionSeen && parsed.command != VexhostCommand::kSave) {
    *error =
        "--param, --record, --cancel, --pick, --fail-write-after, --play-info, --abort-after, --embed-profile, "
        "--icc, --resolution and --xmp belong to save";
    return std::nullopt;
  }
  // The profile given by hand is the one embedded, so it means nothing when none is.
  if (!parsed.iccPath.empty() && !parsed.embedProfile) {
    *error = "--icc belongs with --embed-profile";
    return std::nullopt;
  }
  // Only a document has a mode.
  if (parsed.deepModes && parsed.command == VexhostCommand::kAbout) {
    *error = "--deep-modes belongs to save and estimate";
    return std::nullopt;
  }
  // A UI script answers a dialog: the preview dialog of a save or the About box.
  if (!parsed.uiScript.empty() && parsed.command == VexhostCommand::kEstimate) {
    *error = "--ui belongs to save and about";
    return std::nullopt;
  }
  if (wanted >= 1) parsed.input = operands[1];
  if (wanted >= 2) parsed.output = operands[2];
  return parsed;
}
