#pragma once
// What a file says of its colours, from the profile the host handed: nothing, the sRGB chunk, or the profile
// itself in an iCCP chunk. A profile goes only where it describes the file's samples: an RGB profile in a Palette
// or RGB file, a gray profile in a Grayscale file; sRGB, recognised by its contents, is named by the sRGB chunk
// in any of them.
#include <cstdint>
#include <string>
#include <vector>

#include "png/icc_profile.h"

enum class ColorChunk : uint8_t { kNone, kSrgb, kIccp };

// pngType: 0 Grayscale, 1 Palette, 2 RGB.
ColorChunk ColorChunkFor(int32_t pngType, const IccProfileFacts& facts);

// The iCCP chunk's data: keyword, its terminator, compression method 0 and the zlib stream of the profile. Empty
// when the profile cannot be compressed.
std::vector<uint8_t> IccpChunkData(const std::string& keyword, const std::vector<uint8_t>& profile);

// The sRGB chunk's rendering intent: perceptual, as images for screens are made.
constexpr uint8_t kSrgbIntent = 0;
