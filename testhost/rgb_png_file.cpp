#include "testhost/rgb_png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "testhost/host_files.h"

namespace {

struct PngFailure {
  char message[200] = "libpng failed";
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
  std::snprintf(failure->message, sizeof failure->message, "%s", message);
  png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// Owns libpng's write and info records.
class PngWriteRecords {
 public:
  explicit PngWriteRecords(PngFailure* failure)
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, OnPngError, IgnorePngWarning)),
        info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr) {}
  ~PngWriteRecords() {
    png_destroy_write_struct(png_ != nullptr ? &png_ : nullptr, info_ != nullptr ? &info_ : nullptr);
  }
  PngWriteRecords(const PngWriteRecords&) = delete;
  PngWriteRecords& operator=(const PngWriteRecords&) = delete;
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

// The libpng calls; only plain data in this frame, as setjmp needs.
bool WriteRows(png_structp png, png_infop info, FILE* file, png_uint_32 width, png_uint_32 height, const uint8_t* rgb) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (png_uint_32 y = 0; y < height; ++y) png_write_row(png, rgb + static_cast<size_t>(y) * width * 3);
  png_write_end(png, info);
  return true;
}

}  // namespace

bool WriteRgbPngFile(const std::string& utf8Path, int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                     std::string* error) {
  if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
    *error = "a picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels cannot be written";
    return false;
  }
  FILE* file = OpenFileByUtf8Path(utf8Path, "wb");
  if (file == nullptr) {
    *error = "cannot open " + utf8Path + " for writing";
    return false;
  }
  PngFailure failure;
  bool written = false;
  {
    PngWriteRecords records(&failure);
    written =
        records.info() != nullptr && WriteRows(records.png(), records.info(), file, static_cast<png_uint_32>(width),
                                               static_cast<png_uint_32>(height), rgb.data());
  }
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *error = "cannot write " + utf8Path + ": " + (written ? "the file could not be closed" : failure.message);
    return false;
  }
  return true;
}
