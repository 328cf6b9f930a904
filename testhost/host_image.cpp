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

void SetRowFromInterleaved(HostImage& image, int32_t y, const uint8_t* row) {
  const size_t planeSize = PlaneSize(image);
  for (int plane = 0; plane < image.planes; ++plane) {
    uint8_t* out = image.planar.data() + static_cast<size_t>(plane) * planeSize + static_cast<size_t>(y) * image.width;
    const uint8_t* in = row + plane;
    for (int32_t x = 0; x < image.width; ++x, in += image.planes) out[x] = *in;
  }
}

void SetFromInterleaved(HostImage& image, const uint8_t* interleaved) {
  const size_t planeSize = PlaneSize(image);
  image.planar.resize(planeSize * static_cast<size_t>(image.planes));
  // Plane by plane, so the writes run in order.
  for (int plane = 0; plane < image.planes; ++plane) {
    uint8_t* out = image.planar.data() + static_cast<size_t>(plane) * planeSize;
    const uint8_t* in = interleaved + plane;
    for (size_t pixel = 0; pixel < planeSize; ++pixel, in += image.planes) out[pixel] = *in;
  }
}
