#include "testhost/ui_script.h"

#include <cerrno>
#include <cstdlib>
#include <iterator>

namespace {

constexpr int kHighestControlId = 0xFFFF;
constexpr int kPaletteCells = 256;
// Synthesised mouse positions travel as signed 16-bit numbers.
constexpr int32_t kLargestDrag = 30000;
constexpr int32_t kLargestWindow = 32767;
constexpr int32_t kLongestWait = 600000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    const size_t start = at;
    while (at < text.size() && !IsBlank(text[at])) ++at;
    if (at > start) words.push_back(text.substr(start, at - start));
  }
  return words;
}

std::optional<int32_t> Number(std::string_view word, int32_t lowest, int32_t highest) {
  if (word.empty() || word.size() > 12) return std::nullopt;
  const std::string text(word);
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < lowest || value > highest) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<UiTarget> ControlTarget(std::string_view word) {
  UiTarget target;
  const size_t colon = word.find(':');
  if (colon != std::string_view::npos) {
    const std::string_view scope = word.substr(0, colon);
    if (scope == "panel") {
      target.scope = UiScope::kPanel;
    } else if (scope == "dialog") {
      target.scope = UiScope::kDialog;
    } else if (scope == "header") {
      target.scope = UiScope::kHeader;
    } else {
      return std::nullopt;
    }
    word.remove_prefix(colon + 1);
  }
  const std::optional<int32_t> id = Number(word, 0, kHighestControlId);
  if (!id) return std::nullopt;
  target.id = *id;
  return target;
}

std::optional<UiTarget> RectTarget(std::string_view word) {
  const struct {
    const char* name;
    UiPart part;
  } kParts[] = {{"dialog", UiPart::kDialog},
                {"panel", UiPart::kPanel},
                {"header", UiPart::kHeader},
                {"status", UiPart::kStatusBar},
                {"progress", UiPart::kProgressBar}};
  for (const auto& named : kParts) {
    if (word == named.name) {
      UiTarget target;
      target.part = named.part;
      return target;
    }
  }
  return ControlTarget(word);
}

struct VerbForm {
  const char* name;
  UiVerb verb;
  const char* operands;  // as the usage message shows them
  size_t count;          // number of operands; snapshot takes the rest of the line instead
};
const VerbForm kVerbs[] = {
    {"click", UiVerb::kClick, "ID", 1},
    {"select", UiVerb::kSelect, "ID INDEX", 2},
    {"cell", UiVerb::kCell, "N", 1},
    {"dblcell", UiVerb::kDoubleCell, "N", 1},
    {"drag", UiVerb::kDrag, "DX DY", 2},
    {"resize", UiVerb::kResize, "W H", 2},
    {"hover", UiVerb::kHover, "ID", 1},
    {"wait", UiVerb::kWait, "MS", 1},
    {"snapshot", UiVerb::kSnapshot, "PATH", 1},
    {"ok", UiVerb::kOk, "", 0},
    {"cancel", UiVerb::kCancel, "", 0},
    {"rect", UiVerb::kRect, "dialog|panel|header|status|progress|ID", 1},
    {"key", UiVerb::kKey, "NAME", 1},
    {"focus", UiVerb::kFocus, "", 0},
    {"settle", UiVerb::kSettle, "refresh|queue", 1},
    {"watch", UiVerb::kWatch, "", 0},
    {"watched", UiVerb::kWatched, "", 0},
    {"dpi", UiVerb::kDpi, "N", 1},
    {"text", UiVerb::kText, "ID", 1},
    {"image", UiVerb::kImage, "ID", 1},
    {"zoom", UiVerb::kZoom, "fit|N", 1},
    {"view", UiVerb::kView, "1|2", 1},
};

// The zoom list's entries in its order, as a script writes them.
const char* const kZoomEntries[] = {"fit", "12.5", "25", "50", "66.7", "100", "200", "400", "800"};

std::optional<int32_t> ZoomEntry(std::string_view word) {
  for (size_t entry = 0; entry < std::size(kZoomEntries); ++entry) {
    if (word == kZoomEntries[entry]) return static_cast<int32_t>(entry);
  }
  return std::nullopt;
}

const struct {
  const char* name;
  UiKey key;
} kKeys[] = {{"Tab", UiKey::kTab},
             {"Shift+Tab", UiKey::kShiftTab},
             {"Enter", UiKey::kEnter},
             {"Space", UiKey::kSpace},
             {"Escape", UiKey::kEscape},
             {"Left", UiKey::kLeft},
             {"Right", UiKey::kRight},
             {"Up", UiKey::kUp},
             {"Down", UiKey::kDown},
             {"Ctrl+Plus", UiKey::kCtrlPlus},
             {"Ctrl+Minus", UiKey::kCtrlMinus},
             {"Ctrl+0", UiKey::kCtrlZero},
             {"Ctrl+1", UiKey::kCtrlOne}};

std::optional<UiKey> KeyNamed(std::string_view word) {
  for (const auto& named : kKeys) {
    if (word == named.name) return named.key;
  }
  return std::nullopt;
}

// One action from the words of a line (comment already removed); the message without the line number.
std::optional<UiAction> ActionFromLine(std::string_view content, std::string* error) {
  const std::vector<std::string_view> words = Words(content);
  const VerbForm* form = nullptr;
  for (const VerbForm& candidate : kVerbs) {
    if (words[0] == candidate.name) form = &candidate;
  }
  if (form == nullptr) {
    *error = "unknown action '" + std::string(words[0]) + "'";
    return std::nullopt;
  }
  const std::string usage =
      std::string(form->name) + (form->count > 0 ? " wants " + std::string(form->operands) : " takes nothing after it");
  UiAction action;
  action.verb = form->verb;
  if (form->verb == UiVerb::kSnapshot) {
    // The path is the rest of the line, so it may hold spaces.
    action.path = std::string(Trimmed(Trimmed(content).substr(words[0].size())));
    if (action.path.empty()) {
      *error = usage;
      return std::nullopt;
    }
    return action;
  }
  if (words.size() - 1 != form->count) {
    *error = usage;
    return std::nullopt;
  }
  bool valid = true;
  auto number = [&](std::string_view word, int32_t lowest, int32_t highest) {
    const std::optional<int32_t> value = Number(word, lowest, highest);
    if (!value) valid = false;
    return value.value_or(0);
  };
  auto target = [&](std::optional<UiTarget> parsed) {
    if (!parsed) valid = false;
    return parsed.value_or(UiTarget{});
  };
  std::string range;
  switch (form->verb) {
    case UiVerb::kClick:
    case UiVerb::kHover:
      action.target = target(ControlTarget(words[1]));
      range = "; ID is a control ID from 0 to 65535, optionally after panel:, dialog: or header:";
      break;
    case UiVerb::kSelect:
      action.target = target(ControlTarget(words[1]));
      action.first = number(words[2], 0, 32767);
      range = "; ID as for click, INDEX from 0";
      break;
    case UiVerb::kCell:
    case UiVerb::kDoubleCell:
      action.first = number(words[1], 0, kPaletteCells - 1);
      range = "; N from 0 to 255";
      break;
    case UiVerb::kDrag:
      action.first = number(words[1], -kLargestDrag, kLargestDrag);
      action.second = number(words[2], -kLargestDrag, kLargestDrag);
      range = "; each from -30000 to 30000 pixels";
      break;
    case UiVerb::kResize:
      action.first = number(words[1], 1, kLargestWindow);
      action.second = number(words[2], 1, kLargestWindow);
      range = "; each from 1 to 32767 pixels";
      break;
    case UiVerb::kWait:
      action.first = number(words[1], 0, kLongestWait);
      range = "; MS from 0 to 600000";
      break;
    case UiVerb::kDpi:
      action.first = number(words[1], 48, 960);
      range = "; N from 48 to 960";
      break;
    case UiVerb::kRect:
    case UiVerb::kText:
    case UiVerb::kImage: action.target = target(RectTarget(words[1])); break;
    case UiVerb::kKey: {
      const std::optional<UiKey> key = KeyNamed(words[1]);
      valid = key.has_value();
      action.first = static_cast<int32_t>(key.value_or(UiKey::kTab));
      range =
          "; NAME is Tab, Shift+Tab, Enter, Space, Escape, Left, Right, Up, Down, Ctrl+Plus, Ctrl+Minus, Ctrl+0 or "
          "Ctrl+1";
      break;
    }
    case UiVerb::kSettle:
      valid = words[1] == "refresh" || words[1] == "queue";
      action.first = words[1] == "refresh" ? 1 : 0;
      break;
    case UiVerb::kZoom: {
      const std::optional<int32_t> entry = ZoomEntry(words[1]);
      valid = entry.has_value();
      action.first = entry.value_or(0);
      range = "; N is 12.5, 25, 50, 66.7, 100, 200, 400 or 800";
      break;
    }
    case UiVerb::kView:
      valid = words[1] == "1" || words[1] == "2";
      action.first = words[1] == "2" ? 1 : 0;
      break;
    case UiVerb::kFocus:
    case UiVerb::kWatch:
    case UiVerb::kWatched:
    case UiVerb::kSnapshot:
    case UiVerb::kOk:
    case UiVerb::kCancel: break;
  }
  if (!valid) {
    *error = usage + range + ", not '" + std::string(Trimmed(Trimmed(content).substr(words[0].size()))) + "'";
    return std::nullopt;
  }
  return action;
}

}  // namespace

std::optional<std::vector<UiAction>> ParseUiScript(std::string_view text, std::string* error) {
  // A byte order mark, as some editors write, is not part of the first action.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<UiAction> actions;
  int closingLine = 0;  // the ok or cancel that ends the dialog
  int line = 0;
  while (!text.empty()) {
    ++line;
    const size_t end = text.find('\n');
    std::string_view content = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    content = Trimmed(content.substr(0, content.find('#')));
    if (content.empty()) continue;
    std::string message;
    std::optional<UiAction> action = ActionFromLine(content, &message);
    if (action && closingLine != 0) {
      message = "nothing can follow line " + std::to_string(closingLine) + ", which closes the dialog";
      action.reset();
    }
    if (!action) {
      *error = "line " + std::to_string(line) + ": " + message;
      return std::nullopt;
    }
    action->line = line;
    if (action->verb == UiVerb::kOk || action->verb == UiVerb::kCancel) closingLine = line;
    actions.push_back(std::move(*action));
  }
  return actions;
}

std::string TargetText(const UiTarget& target) {
  switch (target.part) {
    case UiPart::kDialog: return "dialog";
    case UiPart::kPanel: return "panel";
    case UiPart::kHeader: return "header";
    case UiPart::kStatusBar: return "status";
    case UiPart::kProgressBar: return "progress";
    case UiPart::kControl: break;
  }
  const char* prefix = target.scope == UiScope::kPanel    ? "panel:"
                       : target.scope == UiScope::kDialog ? "dialog:"
                       : target.scope == UiScope::kHeader ? "header:"
                                                          : "";
  return prefix + std::to_string(target.id);
}

const char* KeyText(UiKey key) {
  for (const auto& named : kKeys) {
    if (named.key == key) return named.name;
  }
  return "?";
}
