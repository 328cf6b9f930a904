#pragma once
// What a file needs to know of an ICC profile: whose colours it describes, whether it is sRGB, and its name.
#include <cstddef>
#include <cstdint>
#include <string>

enum class IccColorSpace : uint8_t { kOther, kGray, kRgb };

struct IccProfileFacts {
  bool valid = false;  // a whole profile: its header's size within the bytes, a tag table that fits
  IccColorSpace space = IccColorSpace::kOther;
  // sRGB IEC61966-2.1 by its contents: D50 white, the sRGB primaries as a profile adapts them, and sRGB's tone
  // curve on all three channels, whatever the profile calls itself.
  bool srgb = false;
  std::string description;  // the profile's own description, Latin-1; empty when it has none a file can use
};

IccProfileFacts ReadIccProfileFacts(const uint8_t* bytes, size_t size);

// The name an iCCP chunk gives the profile: its description made a valid PNG keyword (printable Latin-1, single
// spaces, none leading or trailing, at most 79 characters), or "ICC profile".
std::string IccpKeyword(const IccProfileFacts& facts);
