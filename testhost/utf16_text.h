#pragma once
// UTF-8 <-> UTF-16 for paths: the host hands the destination's path over in UTF-16, while the command line
// and the tests speak UTF-8. Invalid sequences become U+FFFD.
#include <cstdint>
#include <string>

std::u16string Utf16FromUtf8(const std::string& text);
std::string Utf8FromUtf16(const std::u16string& text);
// The same from a zero-terminated UTF-16 string, as FormatRecord::fileSpec2 holds it.
std::string Utf8FromUtf16(const uint16_t* text);
