#pragma once
// What a save's options change in the document the host hands over: the resolution and XMP given by hand, and
// the profile embedded when the user asks for one.
#include <string>

#include "testhost/command_line.h"
#include "testhost/host_image.h"

// The sRGB profile the host embeds for an sRGB input without a profile of its own (Debian's colord-data).
extern const char kSrgbProfilePath[];

// Applies --resolution and --xmp to image. With --embed-profile its profile becomes the --icc file's bytes, else
// stays the input's own, else, for an input that declares sRGB, is read from srgbProfilePath; without it the
// profile is cleared. False with *error set when a file given by hand cannot be read. *notice (else empty) says
// why --embed-profile leaves the save without a profile.
bool ApplyDocumentOptions(const VexhostArguments& arguments, const std::string& srgbProfilePath, HostImage* image,
                          std::string* error, std::string* notice);
