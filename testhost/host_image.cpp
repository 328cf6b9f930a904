#include "testhost/host_image.h"

namespace {

// The store that holds samples of type Sample.
std::vector<uint8_t>& Store(HostImage& image, const uint8_t*) { return image.planar; }
std::vector<uint16_t>& Store(HostImage& image, const uint16_t*) { return image.planar16; }

template <typename Sample>
void ScatterRow(HostImage& image, int32_t y, const Sample* row) {
  const size_t planeSize = PlaneSize(image);
  std::vector<Sample>& store = Store(image, row);
  for (int plane = 0; plane < image.planes; ++plane) {
    Sample* out = store.data() + static_cast<size_t>(plane) * planeSize + static_cast<size_t>(y) * image.width;
    const Sample* in = row + plane;
    for (int32_t x = 0; x < image.width; ++x, in += image.planes) out[x] = *in;
  }
}

template <typename Sample>
void Scatter(HostImage& image, const Sample* interleaved) {
  const size_t planeSize = PlaneSize(image);
  std::vector<Sample>& store = Store(image, interleaved);
  store.resize(planeSize * static_cast<size_t>(image.planes));
  // Plane by plane, so the writes run in order.
  for (int plane = 0; plane < image.planes; ++plane) {
    Sample* out = store.data() + static_cast<size_t>(plane) * planeSize;
    const Sample* in = interleaved + plane;
    for (size_t pixel = 0; pixel < planeSize; ++pixel, in += image.planes) out[pixel] = *in;
  }
}

}  // namespace

size_t PlaneSize(const HostImage& image) {
  return static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
}

int SampleBytes(const HostImage& image) { return image.depth == 16 ? 2 : 1; }

uint16_t SampleAt(const HostImage& image, int plane, int32_t x, int32_t y) {
  const size_t at = static_cast<size_t>(plane) * PlaneSize(image) + static_cast<size_t>(y) * image.width + x;
  return image.depth == 16 ? image.planar16[at] : image.planar[at];
}

bool IsComplete(const HostImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.planes <= 0) return false;
  const size_t samples = PlaneSize(image) * static_cast<size_t>(image.planes);
  if (image.depth == 8) return image.planar.size() == samples && image.planar16.empty();
  return image.depth == 16 && image.planar16.size() == samples && image.planar.empty();
}

void SetRowFromInterleaved(HostImage& image, int32_t y, const uint8_t* row) { ScatterRow(image, y, row); }

void SetRowFromInterleaved(HostImage& image, int32_t y, const uint16_t* row) { ScatterRow(image, y, row); }

void SetFromInterleaved(HostImage& image, const uint8_t* interleaved) { Scatter(image, interleaved); }

void SetFromInterleaved(HostImage& image, const uint16_t* interleaved) { Scatter(image, interleaved); }
