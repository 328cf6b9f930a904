#pragma once
// Fetches the whole image from the host, plane by plane, into WholeImage (CMYK converted to RGB).
#include <cstdint>

void WholePicture();

// Copies one host plane into channel `plane` of interleaved pixels; with minAlpha given, lowers it to every
// value copied.
void ScatterPlane(const uint8_t* source, int32_t sourceRowBytes, uint8_t* pixels, int32_t width, int32_t height,
                  int32_t planes, int32_t plane, int32_t* minAlpha);
