#pragma once
// What the fuzz targets share: a check that stops the run loudly (libFuzzer keeps the input that did it),
// reading the input front to back, and the checks on options as the rest of the plug-in gets them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "records/save_options.h"

// Not assert(): it must also hold in builds with NDEBUG.
#define VEX_FUZZ_CHECK(condition)                                                             \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)

// Takes bytes from the front of the input; past its end every read gives zeros.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  int32_t Int32() {
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(Byte()) << shift;
    return static_cast<int32_t>(value);
  }
  // What has not been read yet.
  const uint8_t* Rest() const { return data_ + position_; }
  size_t RestSize() const { return size_ - position_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

inline bool SameOptions(const SaveOptionsRecord& a, const SaveOptionsRecord& b) {
  return a.windowLeft == b.windowLeft && a.windowTop == b.windowTop && a.windowWidth == b.windowWidth &&
         a.windowHeight == b.windowHeight && a.pngType == b.pngType && a.paletteColors == b.paletteColors &&
         a.alphaChannel == b.alphaChannel && a.useKeyColor == b.useKeyColor && a.fillColor == b.fillColor &&
         a.dither == b.dither && a.keyColorDither == b.keyColorDither && a.refinePalette == b.refinePalette &&
         a.compression == b.compression && a.paletteQuality == b.paletteQuality;
}

// Whatever was stored, the options the reduction, the writer and the dialog work with are in range, and
// sanitising changes nothing else.
inline void CheckUsable(const SaveOptionsRecord& stored) {
  const SaveOptionsRecord usable = UsableOptions(stored);
  const int32_t colors = usable.paletteColors;
  VEX_FUZZ_CHECK(colors >= 2 && colors <= 256 && (colors & (colors - 1)) == 0);
  VEX_FUZZ_CHECK(colors >= 256 || stored.paletteColors <= colors);  // never fewer colours than asked for
  VEX_FUZZ_CHECK(usable.pngType >= kPngGrayscale && usable.pngType <= kPngRgb);
  VEX_FUZZ_CHECK(usable.dither <= kNoise);
  VEX_FUZZ_CHECK(usable.compression <= kSmallestCompression);
  VEX_FUZZ_CHECK(usable.paletteQuality >= 0 && usable.paletteQuality <= kHighestPaletteQuality);
  VEX_FUZZ_CHECK(usable.windowLeft == stored.windowLeft && usable.windowTop == stored.windowTop &&
                 usable.windowWidth == stored.windowWidth && usable.windowHeight == stored.windowHeight &&
                 usable.alphaChannel == stored.alphaChannel && usable.useKeyColor == stored.useKeyColor &&
                 usable.fillColor == stored.fillColor && usable.keyColorDither == stored.keyColorDither);
  // Values already in range stay as they were.
  if (stored.pngType >= kPngGrayscale && stored.pngType <= kPngRgb) VEX_FUZZ_CHECK(usable.pngType == stored.pngType);
  if (stored.dither <= kNoise) VEX_FUZZ_CHECK(usable.dither == stored.dither);
  if (stored.compression <= kSmallestCompression) VEX_FUZZ_CHECK(usable.compression == stored.compression);
  if (stored.paletteQuality >= 0 && stored.paletteQuality <= kHighestPaletteQuality) {
    VEX_FUZZ_CHECK(usable.paletteQuality == stored.paletteQuality);
  }
}
