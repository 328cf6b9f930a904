#include "png/standard_pixels.h"

#include <algorithm>

StandardPixels::StandardPixels(const PngWriteJob& job) : job_(job) {
  const bool alpha = job.hasAlphaPlane && job.alphaChannel;
  switch (job.pngType) {
    case 0: bytesPerPixel_ = alpha ? 2 : 1; break;
    case 1: bytesPerPixel_ = 1; break;
    default: bytesPerPixel_ = alpha ? 4 : 3; break;
  }
  alpha_ = alpha;
  palette_ = job.pngType == 1;
  if (!palette_ || job.palette == nullptr) return;
  paletteCount_ = std::clamp(job.palette->count, 0, 256);
  for (int32_t i = 0; i < paletteCount_; ++i) {
    const PaletteEntry& entry = job.palette->entries[i];
    entries_[i] = Canonical(Rgba{entry.red, entry.green, entry.blue, SavedAlpha(entry, job.paletteAlpha)});
  }
}

Rgba StandardPixels::Stored(const uint8_t* row, int32_t x) const {
  const uint8_t* pixel = row + static_cast<size_t>(x) * bytesPerPixel_;
  switch (bytesPerPixel_) {
    case 1:
      if (palette_) return entries_[pixel[0]];
      return Rgba{pixel[0], pixel[0], pixel[0], 255};
    case 2: return Rgba{pixel[0], pixel[0], pixel[0], pixel[1]};
    case 3: return Rgba{pixel[0], pixel[1], pixel[2], 255};
    default: return Rgba{pixel[0], pixel[1], pixel[2], pixel[3]};
  }
}
