#pragma once
// An image file brought into the plug-in's records as a save holds it, and the records emptied again.
#include <string>

namespace bench {

// Reads a PNG straight into page-granular memory, as image acquisition fills WholeImage: 8-bit gray, gray and
// alpha, RGB or RGB and alpha, whatever the file's colour type. False, with a message, when it cannot.
bool LoadWholeImage(const std::string& path);

// As after a change of the colour count or of a transparency option: the palette is built again.
void ForgetPalette();

// Frees the reduced rows, the colour map and the image.
void ReleaseAll();

}  // namespace bench
