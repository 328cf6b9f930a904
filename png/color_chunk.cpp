#include "png/color_chunk.h"

#include <zlib.h>

ColorChunk ColorChunkFor(int32_t pngType, const IccProfileFacts& facts) {
  if (!facts.valid) return ColorChunk::kNone;
  if (facts.srgb) return ColorChunk::kSrgb;
  const bool grayFile = pngType == 0;
  const bool matches = grayFile ? facts.space == IccColorSpace::kGray : facts.space == IccColorSpace::kRgb;
  return matches ? ColorChunk::kIccp : ColorChunk::kNone;
}

std::vector<uint8_t> IccpChunkData(const std::string& keyword, const std::vector<uint8_t>& profile) {
  std::vector<uint8_t> data(keyword.begin(), keyword.end());
  data.push_back(0);  // the keyword's end
  data.push_back(0);  // compression method: zlib
  const size_t head = data.size();
  uLongf room = compressBound(static_cast<uLong>(profile.size()));
  data.resize(head + room);
  if (compress2(data.data() + head, &room, profile.data(), static_cast<uLong>(profile.size()), Z_BEST_COMPRESSION) !=
      Z_OK) {
    return {};
  }
  data.resize(head + room);
  return data;
}
