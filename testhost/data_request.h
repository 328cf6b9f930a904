#pragma once
// What advance state delivers: the samples of the request the plug-in described in the format record.
#include <cstdint>

#include "host/host_abi.h"
#include "testhost/host_image.h"

struct DataRequest {
  VRect rect{};  // top, left, bottom, right; bottom and right exclusive
  int16_t loPlane = 0;
  int16_t hiPlane = 0;
  int16_t colBytes = 0;
  int32_t rowBytes = 0;
  int32_t planeBytes = 0;  // ignored when loPlane == hiPlane
  void* data = nullptr;
};

// The request as the record holds it: theRect32 when the plug-in uses 32-bit coordinates, else theRect.
DataRequest RequestFrom(const FormatRecord& record);

// Copies every requested sample of the image into request.data, plane p (loPlane..hiPlane, mapped through
// planeMap) at (p - loPlane) * planeBytes + (y - top) * rowBytes + (x - left) * colBytes: a byte at depth 8,
// a native-endian uint16 (0-32768) at depth 16. kParamErr, with nothing copied, when there is no buffer, the
// rectangle leaves the image, a plane does not exist or colBytes is smaller than a sample.
OSErr FillRequest(const HostImage& image, const DataRequest& request, const int16_t (&planeMap)[16]);
