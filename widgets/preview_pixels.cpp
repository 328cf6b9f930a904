#include "widgets/preview_pixels.h"

#include <algorithm>
#include <cstddef>

#include "records/save_options.h"

namespace {
constexpr uint8_t kCheckerDark = 204;
constexpr uint8_t kCheckerLight = 255;
}  // namespace

PreviewColor PreviewColorOf(const PreviewSource& source, const uint8_t* pixel) {
  PreviewColor color;
  switch (source.pngType) {
    case kPngGrayscale:
      color.red = color.green = color.blue = pixel[0];
      color.alpha = source.bytesPerPixel > 1 ? pixel[1] : 255;
      break;
    case kPngPalette: {
      const PaletteEntry& entry = source.palette[pixel[0]];
      color.red = entry.red;
      color.green = entry.green;
      color.blue = entry.blue;
      // Exactly as the file states it.
      color.alpha = source.bytesPerPixel > 1 ? pixel[1] : SavedAlpha(entry, source.paletteAlpha);
      break;
    }
    default:
      color.red = pixel[0];
      color.green = pixel[1];
      color.blue = pixel[2];
      color.alpha = source.bytesPerPixel > 3 ? pixel[3] : 255;
      break;
  }
  return color;
}

PreviewRowReader::PreviewRowReader(const PreviewSource& source)
    : source_(source), byEntry_(source.pngType == kPngPalette && source.bytesPerPixel == 1) {
  if (!byEntry_) return;
  for (int index = 0; index < 256; ++index) {
    // A whole pixel's room, though only the index is read.
    const uint8_t pixel[4] = {static_cast<uint8_t>(index)};
    entries_[index] = PreviewColorOf(source_, pixel);
  }
}

void PreviewRowReader::Read(const uint8_t* pixels, int32_t count, PreviewColor* colors) const {
  const int32_t step = source_.bytesPerPixel;
  const uint8_t* pixel = pixels;
  if (byEntry_) {
    for (int32_t i = 0; i < count; ++i) colors[i] = entries_[pixels[i]];
  } else if (source_.pngType == kPngRgb && step == 3) {
    for (int32_t i = 0; i < count; ++i, pixel += 3) colors[i] = PreviewColor{pixel[0], pixel[1], pixel[2], 255};
  } else if (source_.pngType == kPngRgb && step >= 4) {
    for (int32_t i = 0; i < count; ++i, pixel += step) colors[i] = PreviewColor{pixel[0], pixel[1], pixel[2], pixel[3]};
  } else {
    for (int32_t i = 0; i < count; ++i, pixel += step) colors[i] = PreviewColorOf(source_, pixel);
  }
}

int32_t BitmapWidthFor(int32_t clientWidth, int32_t width) {
  const int32_t shown = std::min(clientWidth, width);
  return shown <= 0 ? 0 : (shown + 3) / 4 * 4;
}

uint8_t CheckerValue(int32_t row, int32_t column, int32_t square) {
  if (square < 1) square = 1;
  return ((row / square) % 2) == ((column / square) % 2) ? kCheckerDark : kCheckerLight;
}

uint8_t BlendOverChecker(uint8_t color, uint8_t alpha, uint8_t checker) {
  // Both fractions are single precision, as the reduction rounds its own; the sum is made in double.
  const auto opacity = static_cast<float>(alpha / 255.0);
  const auto clearness = static_cast<float>(1.0 - static_cast<double>(opacity));
  const auto under = static_cast<float>(static_cast<double>(checker) * static_cast<double>(clearness));
  return static_cast<uint8_t>(
      static_cast<int>(static_cast<double>(color) * static_cast<double>(opacity) + static_cast<double>(under)));
}

void ComposeBitmapPixels(const uint8_t* viewPixels, int32_t width, int32_t bitmapWidth, int32_t bitmapHeight,
                         uint8_t* bitmapPixels, int32_t checkerSquare) {
  const int32_t columns = std::min(width, bitmapWidth);
  const size_t bitmapRowBytes = static_cast<size_t>(bitmapWidth) * 3;
  for (int32_t i = 0; i < bitmapHeight; ++i) {
    const uint8_t* in = viewPixels + static_cast<size_t>(i) * static_cast<size_t>(width) * 4;
    // Device-independent bitmaps store the bottom row first.
    uint8_t* out = bitmapPixels + static_cast<size_t>(bitmapHeight - 1 - i) * bitmapRowBytes;
    for (int32_t k = 0; k < columns; ++k, in += 4, out += 3) {
      if (in[3] == 255) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      } else {
        const uint8_t checker = CheckerValue(i, k, checkerSquare);
        out[0] = BlendOverChecker(in[2], in[3], checker);
        out[1] = BlendOverChecker(in[1], in[3], checker);
        out[2] = BlendOverChecker(in[0], in[3], checker);
      }
    }
  }
}
