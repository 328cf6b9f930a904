#pragma once
// The size line of the preview: uncompressed and compressed size in powers of 1000.
#include <cstddef>
#include <cstdint>
#include <string>

// "%d Bytes" below 3000, KBytes below 3,000,000, else MBytes; "%.3f" unless the unit divides the size.
// Writes at most `capacity` bytes (64 is always enough).
void FormatByteSize(char* text, size_t capacity, int64_t size);

// "\n\r   File Size (Original/Compressed): <original> / <compressed>"
std::string FileSizeLine(int64_t original, int64_t compressed);

// The image as it arrived, width x height x channels x bytes per sample (2 for a 16-bit document), in bytes:
// the size line's original size.
int64_t OriginalImageSize();

// Builds the line for the current image and hands it to the status-line call-out (the dialog's status bar).
void PrintFileSize(int32_t compressed);
