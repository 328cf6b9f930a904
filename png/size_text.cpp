#include "png/size_text.h"

#include <cinttypes>
#include <cstdio>

#include "base/callouts.h"
#include "records/whole_image.h"

void FormatByteSize(char* text, size_t capacity, int64_t size) {
  if (size / 1000 <= 2) {
    std::snprintf(text, capacity, "%" PRId64 " Bytes", size);
  } else if (size / 1000000 <= 2) {
    if (size % 1000 == 0) {
      std::snprintf(text, capacity, "%" PRId64 " KBytes", size / 1000);
    } else {
      std::snprintf(text, capacity, "%.3f KBytes", static_cast<double>(size) / 1000.0);
    }
  } else if (size % 1000000 == 0) {
    std::snprintf(text, capacity, "%" PRId64 " MBytes", size / 1000000);
  } else {
    std::snprintf(text, capacity, "%.3f MBytes", static_cast<double>(size) / 1000000.0);
  }
}

std::string FileSizeLine(int64_t original, int64_t compressed) {
  char originalText[64];
  char compressedText[64];
  FormatByteSize(originalText, sizeof originalText, original);
  FormatByteSize(compressedText, sizeof compressedText, compressed);
  char line[192];
  std::snprintf(line, sizeof line, "\n\r   File Size (Original/Compressed): %s / %s", originalText, compressedText);
  return line;
}

int64_t OriginalImageSize() {
  // Sizes of 2 GB and more are real for large images: count them in 64 bits rather than wrap.
  const int64_t sampleBytes = WholeImage.documentDepth == 16 ? 2 : 1;
  return static_cast<int64_t>(WholeImage._WholePlanesIn) * WholeImage._WholeHeight * WholeImage._WholeWidth *
         sampleBytes;
}

void PrintFileSize(int32_t compressed) {
  const std::string line = FileSizeLine(OriginalImageSize(), compressed);
  CalloutStatusLine(line.c_str());
}
