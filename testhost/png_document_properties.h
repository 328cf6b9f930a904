#pragma once
// The document properties a PNG carries besides its pixels, as a host keeps them when it opens the file.
#include <png.h>

#include "testhost/host_image.h"

constexpr char kXmpKeyword[] = "XML:com.adobe.xmp";

// From the chunks libpng has read (call after png_read_end, so that text after the image counts too):
// pHYs in pixels per metre becomes the resolution in pixels per inch (rounded to the nearest 1/65536; without
// pHYs, with the unit unknown or a zero value, 72 ppi stays); iCCP gives the profile (decompressed), sRGB
// sets declaresSrgb, and the iTXt with keyword kXmpKeyword gives the XMP text.
void ReadPngDocumentProperties(png_structp png, png_infop info, HostImage* image);
