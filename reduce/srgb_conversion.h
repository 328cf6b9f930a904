#pragma once
// Brings an image's colours from its document's ICC profile to sRGB, the space a file without a profile is read in.
#include <cstdint>
#include <vector>

#include "records/whole_image.h"

// Converts the pixels of an RGB image (from an RGB profile) to sRGB IEC61966-2.1, or of a gray image (from a gray
// profile) to the gray of sRGB's tone curve, in place; relative colorimetric with black-point compensation, as the
// host converts by default; alpha stays as it is. False, with the pixels untouched, when the profile cannot be
// read, describes other colours than the image's (an indexed image's colours are in its colour table, not here),
// or memory runs out.
bool ConvertToSrgb(WholeImageRecord& image, const std::vector<uint8_t>& profile);
// The same for a 16-bit document's samples, at 16 bits.
bool ConvertToSrgb(WholeImage16Record& image, const std::vector<uint8_t>& profile);
