#include "png/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "host/debug_log.h"
#include "host/platform.h"
#include "host/save_paths.h"
#include "reduce/whole_image.h"

int32_t LastCompressedSize = 0;

// Placeholder until the PNG writer lands: a black grayscale PNG of the image's size.
int32_t CompressPNG() {
  LastCompressedSize = 0;
  DebugLog("CompressPNG>>>>");
  FILE* file = platform::OpenFile(TempPngPath, "wb");
  if (file == nullptr) {
    DebugLog("png file open failed");
    return 0;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(WholeImage._WholeWidth);
  image.height = static_cast<png_uint_32>(WholeImage._WholeHeight);
  image.format = PNG_FORMAT_GRAY;
  std::vector<png_byte> black(static_cast<size_t>(image.width) * image.height);
  int32_t size = 0;
  if (!black.empty() && png_image_write_to_stdio(&image, file, 0, black.data(), 0, nullptr)) {
    size = platform::FileSizeOf(file);
  }
  png_image_free(&image);
  std::fclose(file);
  DebugLog("END CompressPNG()<<<");
  LastCompressedSize = size;
  return size;
}
