#pragma once
// Four ASCII characters as one 32-bit code, first character in the most significant byte: how the host names
// keys and suites, and how the save options are keyed.
#include <cstdint>

using FourCC = uint32_t;

// FourCharCode("8BIM") == 0x3842494D. Taking the literal by array reference rejects codes that are not
// exactly four characters long at compile time.
constexpr FourCC FourCharCode(const char (&code)[5]) {
  return (static_cast<FourCC>(static_cast<unsigned char>(code[0])) << 24) |
         (static_cast<FourCC>(static_cast<unsigned char>(code[1])) << 16) |
         (static_cast<FourCC>(static_cast<unsigned char>(code[2])) << 8) |
         static_cast<FourCC>(static_cast<unsigned char>(code[3]));
}
