#include "testhost/host_image.h"

size_t PlaneSize(const HostImage& image) {
  return static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
}

uint8_t SampleAt(const HostImage& image, int plane, int32_t x, int32_t y) {
  return image.planar[static_cast<size_t>(plane) * PlaneSize(image) + static_cast<size_t>(y) * image.width + x];
}

bool IsComplete(const HostImage& image) {
  return image.width > 0 && image.height > 0 && image.planes > 0 && image.depth == 8 &&
         image.planar.size() == PlaneSize(image) * static_cast<size_t>(image.planes);
}

void SetFromInterleaved(HostImage& image, const uint8_t* interleaved) {
  const size_t planeSize = PlaneSize(image);
  image.planar.assign(planeSize * static_cast<size_t>(image.planes), 0);
  for (size_t pixel = 0; pixel < planeSize; ++pixel) {
    for (int plane = 0; plane < image.planes; ++plane) {
      image.planar[static_cast<size_t>(plane) * planeSize + pixel] = interleaved[pixel * image.planes + plane];
    }
  }
}
