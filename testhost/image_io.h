#pragma once
// Reads the host's input image from a PNG or PAM file, the way a host would open the document.
//
// PNG, any colour type and bit depth. A 16-bit PNG arrives at depth 16, each sample v (0-65535) in the
// host's range as (v x 32768 + 32767) / 65535 (a gray key in tRNS first becomes an alpha of 0 or 65535);
// lower depths are widened to 8 bits. Gray arrives as mode 1 (a second plane for alpha), RGB as mode 3 (a
// fourth plane for alpha); a single tRNS colour becomes an alpha plane. A palette image arrives indexed (mode
// 2, colour tables from PLTE) when it has no tRNS or its tRNS makes exactly one entry fully transparent and
// all others opaque (that entry is the transparent index); any other palette image arrives as RGB with
// alpha. The PNG's resolution, profile and XMP come along (png_document_properties.h).
// PAM (P7), MAXVAL 255, TUPLTYPE GRAYSCALE, GRAYSCALE_ALPHA, RGB, RGB_ALPHA, CMYK or CMYK_ALPHA: CMYK
// arrives as mode 4 with 4 or 5 planes, its samples passed on unchanged. A PAM is always 8-bit.
#include <cstdio>
#include <optional>
#include <string>

#include "testhost/host_image.h"

// nullopt with *error set to a readable reason when the file cannot be read as either format.
std::optional<HostImage> ReadImageFile(const std::string& utf8Path, std::string* error);

// The two readers, from a file opened in byte mode at its start.
std::optional<HostImage> ReadPngImage(FILE* file, std::string* error);
std::optional<HostImage> ReadPamImage(FILE* file, std::string* error);
