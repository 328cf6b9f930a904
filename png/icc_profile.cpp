#include "png/icc_profile.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kHeaderBytes = 128;
constexpr size_t kTagEntryBytes = 12;
constexpr size_t kMostKeywordChars = 79;
// How far a colorant may stand from sRGB's, and a tone curve from sRGB's (on a scale of 0 to 1), for the profile
// to count as sRGB: profiles made by different tools round the same figures differently.
constexpr double kColorantTolerance = 0.003;
constexpr double kCurveTolerance = 0.005;

uint32_t BigEndian32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 | static_cast<uint32_t>(at[2]) << 8 |
         at[3];
}
uint16_t BigEndian16(const uint8_t* at) { return static_cast<uint16_t>(at[0] << 8 | at[1]); }
double S15Fixed16(const uint8_t* at) { return static_cast<int32_t>(BigEndian32(at)) / 65536.0; }
constexpr uint32_t Signature(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8 | static_cast<uint8_t>(text[3]);
}

// A tag's data, checked to lie within the profile.
struct Tag {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

class Profile {
 public:
  Profile(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  bool Valid() const {
    if (bytes_ == nullptr || size_ < kHeaderBytes + 4) return false;
    const uint32_t declared = BigEndian32(bytes_);
    if (declared < kHeaderBytes + 4 || declared > size_) return false;
    const uint32_t tags = BigEndian32(bytes_ + kHeaderBytes);
    return tags <= (declared - kHeaderBytes - 4) / kTagEntryBytes;
  }

  uint32_t ColorSpace() const { return BigEndian32(bytes_ + 16); }
  uint32_t ConnectionSpace() const { return BigEndian32(bytes_ + 20); }

  Tag Find(uint32_t signature) const {
    const uint32_t declared = BigEndian32(bytes_);
    const uint32_t tags = BigEndian32(bytes_ + kHeaderBytes);
    for (uint32_t i = 0; i < tags; ++i) {
      const uint8_t* entry = bytes_ + kHeaderBytes + 4 + i * kTagEntryBytes;
      if (BigEndian32(entry) != signature) continue;
      const uint32_t offset = BigEndian32(entry + 4);
      const uint32_t length = BigEndian32(entry + 8);
      if (offset > declared || length > declared - offset || length < 8) return Tag{};
      return Tag{bytes_ + offset, length};
    }
    return Tag{};
  }

 private:
  const uint8_t* bytes_;
  size_t size_;
};

bool NearColorant(const Tag& tag, double x, double y, double z) {
  if (tag.size < 20 || BigEndian32(tag.data) != Signature("XYZ ")) return false;
  return std::fabs(S15Fixed16(tag.data + 8) - x) <= kColorantTolerance &&
         std::fabs(S15Fixed16(tag.data + 12) - y) <= kColorantTolerance &&
         std::fabs(S15Fixed16(tag.data + 16) - z) <= kColorantTolerance;
}

double SrgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

// The tone curve at v (0..1), for the curve and parametric types; -1 where the tag cannot be read.
double CurveAt(const Tag& tag, double v) {
  const uint32_t type = BigEndian32(tag.data);
  if (type == Signature("curv") && tag.size >= 12) {
    const uint32_t count = BigEndian32(tag.data + 8);
    if (count > (tag.size - 12) / 2) return -1;
    if (count == 0) return v;
    if (count == 1) return std::pow(v, BigEndian16(tag.data + 12) / 256.0);
    const double at = v * (count - 1);
    const uint32_t below = static_cast<uint32_t>(at);
    const uint32_t above = below + 1 < count ? below + 1 : below;
    const double low = BigEndian16(tag.data + 12 + 2 * below) / 65535.0;
    const double high = BigEndian16(tag.data + 12 + 2 * above) / 65535.0;
    return low + (high - low) * (at - below);
  }
  if (type == Signature("para") && tag.size >= 16) {
    static constexpr int kParameters[] = {1, 3, 4, 5, 7};
    const uint16_t function = BigEndian16(tag.data + 8);
    if (function > 4 || tag.size < 12 + 4 * static_cast<size_t>(kParameters[function])) return -1;
    double p[7] = {};
    for (int i = 0; i < kParameters[function]; ++i) p[i] = S15Fixed16(tag.data + 12 + 4 * i);
    const double g = p[0], a = p[1], b = p[2], c = p[3], d = p[4], e = p[5], f = p[6];
    switch (function) {
      case 0: return std::pow(v, g);
      case 1: return v >= -b / a ? std::pow(a * v + b, g) : 0;
      case 2: return v >= -b / a ? std::pow(a * v + b, g) + c : c;
      case 3: return v >= d ? std::pow(a * v + b, g) : c * v;
      default: return v >= d ? std::pow(a * v + b, g) + e : c * v + f;
    }
  }
  return -1;
}

bool IsSrgbCurve(const Tag& tag) {
  if (tag.data == nullptr) return false;
  for (int i = 0; i <= 32; ++i) {
    const double v = i / 32.0;
    const double at = CurveAt(tag, v);
    if (at < 0 || std::fabs(at - SrgbToLinear(v)) > kCurveTolerance) return false;
  }
  return true;
}

// The description's text: an ASCII description (version 2) or the first record of a localised one (version 4),
// characters beyond Latin-1 left out.
std::string DescriptionOf(const Tag& tag) {
  if (tag.data == nullptr) return std::string();
  std::string text;
  const uint32_t type = BigEndian32(tag.data);
  if (type == Signature("desc") && tag.size >= 12) {
    const uint32_t count = BigEndian32(tag.data + 8);
    if (count > tag.size - 12) return std::string();
    for (uint32_t i = 0; i < count && tag.data[12 + i] != 0; ++i) text.push_back(static_cast<char>(tag.data[12 + i]));
  } else if (type == Signature("mluc") && tag.size >= 28) {
    const uint32_t length = BigEndian32(tag.data + 20);
    const uint32_t offset = BigEndian32(tag.data + 24);
    if (offset > tag.size || length > tag.size - offset) return std::string();
    for (uint32_t i = 0; i + 1 < length; i += 2) {
      const uint16_t unit = BigEndian16(tag.data + offset + i);
      if (unit == 0) break;
      if (unit < 256) text.push_back(static_cast<char>(unit));
    }
  }
  return text;
}

bool PrintableLatin1(unsigned char c) { return (c >= 32 && c <= 126) || c >= 161; }

}  // namespace

IccProfileFacts ReadIccProfileFacts(const uint8_t* bytes, size_t size) {
  IccProfileFacts facts;
  const Profile profile(bytes, size);
  if (!profile.Valid()) return facts;
  facts.valid = true;
  const uint32_t space = profile.ColorSpace();
  facts.space = space == Signature("GRAY")   ? IccColorSpace::kGray
                : space == Signature("RGB ") ? IccColorSpace::kRgb
                                             : IccColorSpace::kOther;
  facts.description = DescriptionOf(profile.Find(Signature("desc")));
  facts.srgb = facts.space == IccColorSpace::kRgb && profile.ConnectionSpace() == Signature("XYZ ") &&
               NearColorant(profile.Find(Signature("rXYZ")), 0.4361, 0.2225, 0.0139) &&
               NearColorant(profile.Find(Signature("gXYZ")), 0.3851, 0.7169, 0.0971) &&
               NearColorant(profile.Find(Signature("bXYZ")), 0.1431, 0.0606, 0.7141) &&
               IsSrgbCurve(profile.Find(Signature("rTRC"))) && IsSrgbCurve(profile.Find(Signature("gTRC"))) &&
               IsSrgbCurve(profile.Find(Signature("bTRC")));
  return facts;
}

std::string IccpKeyword(const IccProfileFacts& facts) {
  std::string keyword;
  for (const char c : facts.description) {
    const bool space = !PrintableLatin1(static_cast<unsigned char>(c)) || c == ' ';
    if (space) {
      if (!keyword.empty() && keyword.back() != ' ') keyword.push_back(' ');
    } else {
      keyword.push_back(c);
    }
    if (keyword.size() >= kMostKeywordChars) break;
  }
  keyword.resize(std::min(keyword.size(), kMostKeywordChars));
  while (!keyword.empty() && keyword.back() == ' ') keyword.pop_back();
  return keyword.empty() ? "ICC profile" : keyword;
}
