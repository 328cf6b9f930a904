#include "testhost/utf16_text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t code) {
  if (code >= 0x10000) {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(code));
  }
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Decodes one code point starting at text[i] and advances i past it.
char32_t NextCodePoint(const std::string& text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t code = 0;
  if (lead >= 0xC2 && lead < 0xE0) {
    extra = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    extra = 2;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    extra = 3;
    code = lead & 0x07;
  } else {
    return kReplacement;
  }
  for (; extra > 0; --extra) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return kReplacement;
    code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ? kReplacement : code;
}

}  // namespace

std::u16string Utf16FromUtf8(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) AppendUtf16(out, NextCodePoint(text, i));
  return out;
}

std::string Utf8FromUtf16(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = kReplacement;
    }
    AppendUtf8(out, code);
  }
  return out;
}

std::string Utf8FromUtf16(const uint16_t* text) {
  std::u16string units;
  for (; text != nullptr && *text != 0; ++text) units.push_back(static_cast<char16_t>(*text));
  return Utf8FromUtf16(units);
}
