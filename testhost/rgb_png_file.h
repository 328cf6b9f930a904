#pragma once
// Writes a picture the test host took (a snapshot of the dialog) as an 8-bit RGB PNG file.
#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height pixels of red, green, blue, rows top to bottom. False with *error set when the
// sizes don't match or the file cannot be written.
bool WriteRgbPngFile(const std::string& utf8Path, int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                     std::string* error);
