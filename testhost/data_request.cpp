#include "testhost/data_request.h"

#include <cstring>

namespace {

int HostPlane(int plane, const int16_t (&planeMap)[16]) { return plane < 16 ? planeMap[plane] : plane; }

bool IsInside(const HostImage& image, const DataRequest& request, const int16_t (&planeMap)[16]) {
  const VRect& rect = request.rect;
  if (rect.top < 0 || rect.left < 0 || rect.top > rect.bottom || rect.left > rect.right || rect.bottom > image.height ||
      rect.right > image.width) {
    return false;
  }
  if (request.loPlane < 0 || request.loPlane > request.hiPlane) return false;
  for (int plane = request.loPlane; plane <= request.hiPlane; ++plane) {
    const int hostPlane = HostPlane(plane, planeMap);
    if (hostPlane < 0 || hostPlane >= image.planes) return false;
  }
  return true;
}

}  // namespace

DataRequest RequestFrom(const FormatRecord& record) {
  DataRequest request;
  if (record.PluginUsing32BitCoordinates != 0) {
    request.rect = record.theRect32;
  } else {
    request.rect = VRect{record.theRect.top, record.theRect.left, record.theRect.bottom, record.theRect.right};
  }
  request.loPlane = record.loPlane;
  request.hiPlane = record.hiPlane;
  request.colBytes = record.colBytes;
  request.rowBytes = record.rowBytes;
  request.planeBytes = record.planeBytes;
  request.data = record.data;
  return request;
}

OSErr FillRequest(const HostImage& image, const DataRequest& request, const int16_t (&planeMap)[16]) {
  if (request.data == nullptr || !IsInside(image, request, planeMap)) return kParamErr;
  const size_t sampleBytes = static_cast<size_t>(SampleBytes(image));
  // Columns narrower than a sample would overlap one another.
  if (request.colBytes < static_cast<int>(sampleBytes)) return kParamErr;
  const auto* samples =
      image.depth == 16 ? reinterpret_cast<const uint8_t*>(image.planar16.data()) : image.planar.data();
  auto* out = static_cast<uint8_t*>(request.data);
  const VRect& rect = request.rect;
  const size_t columns = static_cast<size_t>(rect.right - rect.left);
  for (int plane = request.loPlane; plane <= request.hiPlane; ++plane) {
    const int hostPlane = HostPlane(plane, planeMap);
    const intptr_t planeOffset = static_cast<intptr_t>(plane - request.loPlane) * request.planeBytes;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      uint8_t* row = out + planeOffset + static_cast<intptr_t>(y - rect.top) * request.rowBytes;
      const uint8_t* source = samples + (static_cast<size_t>(hostPlane) * PlaneSize(image) +
                                         static_cast<size_t>(y) * image.width + static_cast<size_t>(rect.left)) *
                                            sampleBytes;
      if (static_cast<size_t>(request.colBytes) == sampleBytes) {
        std::memcpy(row, source, columns * sampleBytes);
        continue;
      }
      // Each sample whole, in the host's own byte order.
      for (size_t x = 0; x < columns; ++x) {
        std::memcpy(row + static_cast<intptr_t>(x) * request.colBytes, source + x * sampleBytes, sampleBytes);
      }
    }
  }
  return kNoErr;
}
