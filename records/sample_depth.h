#pragma once
// The host's 16-bit samples and the two depths made of them. The host holds 16 bits per channel as 0 to 32768
// (not 65535), so both conversions scale and round rather than shift.
#include <algorithm>
#include <cstdint>

inline constexpr int32_t kHostSampleMax16 = 32768;

// A value above the host's range (the host never sends one) counts as its largest, so that no result leaves
// its own range.
constexpr uint32_t UsableHostSample16(uint16_t host) { return std::min<uint32_t>(host, kHostSampleMax16); }

// The 8-bit sample of a host sample: v8 = (v16 x 255 + 16384) / 32768.
constexpr uint8_t EightBitSample(uint16_t host) {
  return static_cast<uint8_t>((UsableHostSample16(host) * 255 + kHostSampleMax16 / 2) / kHostSampleMax16);
}

// The 16-bit file's sample (0 to 65535) of a host sample: v = (v16 x 65535 + 16384) / 32768.
constexpr uint16_t FileSample16(uint16_t host) {
  return static_cast<uint16_t>((UsableHostSample16(host) * 65535 + kHostSampleMax16 / 2) / kHostSampleMax16);
}
