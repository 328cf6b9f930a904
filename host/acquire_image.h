#pragma once
// Fetches the whole image from the host, plane by plane, into WholeImage (CMYK converted to RGB).
#include <cstdint>

#include "host/host_status.h"

// Ok, or why the image could not be had. A plane the host failed to deliver ends the fetch with the host's own
// code; the planes before it are in WholeImage, and that one as the buffer held it.
HostStatus WholePicture();

// Copies one host plane into channel `plane` of interleaved pixels; with minAlpha given, lowers it to every
// value copied.
void ScatterPlane(const uint8_t* source, int32_t sourceRowBytes, uint8_t* pixels, int32_t width, int32_t height,
                  int32_t planes, int32_t plane, int32_t* minAlpha);

// The same for a 16-bit plane (the host's range 0 to 32768): its 8-bit samples into `pixels`, where minAlpha is
// measured, and its samples in the file's 16-bit range into `samples`, laid out alike.
void ScatterPlane16(const uint16_t* source, int32_t sourceRowSamples, uint8_t* pixels, uint16_t* samples, int32_t width,
                    int32_t height, int32_t planes, int32_t plane, int32_t* minAlpha);

// Whether one save of an image this size can have all its memory, worked out in 64 bits so that no size wraps:
// every row fits the 32-bit row sizes (the host's row of 8-bit samples, the interleaved row, the widest reduced
// row of 4 bytes per pixel), and the blocks alive at the same time fit `addressSpace` bytes: while fetching, the
// host's plane buffer, the image (a 16-bit document's twice: at 16 and at 8 bits) and (CMYK) byteCMYK; afterwards
// the image and the reduced image at its largest.
bool ImageFitsInMemory(int32_t columns, int32_t rows, int32_t hostPlanes, bool cmyk, uint64_t addressSpace,
                       int32_t depth = 8);
