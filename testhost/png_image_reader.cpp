// ReadPngImage: libpng decodes, the host keeps 8-bit planes, or 16-bit planes in its own range.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "host/host_abi.h"
#include "records/sample_depth.h"
#include "testhost/image_io.h"
#include "testhost/png_document_properties.h"

namespace {

constexpr size_t kLargestImageBytes = size_t{1} << 30;

struct PngFailure {
  char message[200] = "broken PNG data";
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
  std::snprintf(failure->message, sizeof failure->message, "%s", message);
  png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// Owns libpng's read and info records.
class PngReadRecords {
 public:
  explicit PngReadRecords(PngFailure* failure)
      : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, failure, OnPngError, IgnorePngWarning)),
        info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr) {}
  ~PngReadRecords() {
    png_destroy_read_struct(png_ != nullptr ? &png_ : nullptr, info_ != nullptr ? &info_ : nullptr, nullptr);
  }
  PngReadRecords(const PngReadRecords&) = delete;
  PngReadRecords& operator=(const PngReadRecords&) = delete;
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

// What the decoder will deliver once the transforms are set: plain data only, so it can live beside setjmp.
struct PngLayout {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int channels = 0;
  size_t rowBytes = 0;
  int16_t mode = 0;
  int32_t transparentIndex = -1;
  int paletteSize = 0;
  png_color palette[256] = {};
  bool interlaced = false;  // read in several passes, so all rows at once
  int bitDepth = 8;         // of the decoded samples: 8, or 16 (big-endian, as in the file)
};

constexpr int kNoTransparency = -1;  // no tRNS: indexed without a transparent entry
constexpr int kNotOneIndex = -2;     // tRNS that one transparent index cannot express

// The entry a palette's tRNS makes fully transparent when all others stay opaque.
int SingleTransparentEntry(png_structp png, png_infop info, int paletteSize) {
  png_bytep alphas = nullptr;
  int count = 0;
  if (!png_get_valid(png, info, PNG_INFO_tRNS) || png_get_tRNS(png, info, &alphas, &count, nullptr) == 0) {
    return kNoTransparency;
  }
  int transparent = kNotOneIndex;
  for (int i = 0; i < count && i < paletteSize; ++i) {
    if (alphas[i] == 255) continue;
    if (alphas[i] != 0 || transparent != kNotOneIndex) return kNotOneIndex;
    transparent = i;
  }
  return transparent;
}

// Reads the header and sets every transform; false after a libpng error.
bool ReadLayout(png_structp png, png_infop info, FILE* file, PngLayout* layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  layout->mode = kModeRGB;
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp colors = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colors, &count);
    const int transparent = SingleTransparentEntry(png, info, count);
    if (transparent == kNotOneIndex) {
      png_set_palette_to_rgb(png);
      png_set_tRNS_to_alpha(png);
      png_set_add_alpha(png, 255, PNG_FILLER_AFTER);
    } else {
      layout->mode = kModeIndexed;
      layout->transparentIndex = transparent;
      layout->paletteSize = count;
      for (int i = 0; i < count && i < 256; ++i) layout->palette[i] = colors[i];
      png_set_packing(png);
    }
  } else {
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) {
      layout->mode = kModeGrayScale;
      if (bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  }
  layout->interlaced = png_set_interlace_handling(png) > 1;
  png_read_update_info(png, info);
  layout->width = png_get_image_width(png, info);
  layout->height = png_get_image_height(png, info);
  layout->channels = png_get_channels(png, info);
  layout->rowBytes = png_get_rowbytes(png, info);
  layout->bitDepth = png_get_bit_depth(png, info);
  return layout->bitDepth == 8 || layout->bitDepth == 16;
}

// A file's 16-bit sample (0-65535) in the host's range, rounded: h = (v x 32768 + 32767) / 65535.
uint16_t HostSample16(uint32_t fileSample) {
  return static_cast<uint16_t>((fileSample * kHostSampleMax16 + 32767) / 65535);
}

// Big-endian 16-bit file samples as host samples.
void ToHostSamples16(const png_byte* file, size_t count, uint16_t* host) {
  for (size_t i = 0; i < count; ++i, file += 2) host[i] = HostSample16(static_cast<uint32_t>(file[0] << 8 | file[1]));
}

bool ReadRows(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, info);
  return true;
}

// One decoded row into the host's planes; 16-bit samples pass through hostRow, room for one row of them.
void StoreRow(HostImage& image, int32_t y, const png_byte* row, uint16_t* hostRow) {
  if (image.depth != 16) return SetRowFromInterleaved(image, y, row);
  ToHostSamples16(row, static_cast<size_t>(image.width) * static_cast<size_t>(image.planes), hostRow);
  SetRowFromInterleaved(image, y, hostRow);
}

// A file that is not interlaced, row by row into the host's planes: no second copy of the whole image.
bool ReadRowsIntoPlanes(png_structp png, png_infop info, png_bytep row, uint16_t* hostRow, HostImage* image) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int32_t y = 0; y < image->height; ++y) {
    png_read_row(png, row, nullptr);
    StoreRow(*image, y, row, hostRow);
  }
  png_read_end(png, info);
  return true;
}

}  // namespace

std::optional<HostImage> ReadPngImage(FILE* file, std::string* error) {
  PngFailure failure;
  PngReadRecords records(&failure);
  if (records.info() == nullptr) {
    *error = "libpng could not start";
    return std::nullopt;
  }
  PngLayout layout;
  if (!ReadLayout(records.png(), records.info(), file, &layout)) {
    *error = failure.message;
    return std::nullopt;
  }
  const size_t totalBytes = layout.rowBytes * layout.height;
  if (layout.width == 0 || layout.height == 0 || layout.width > INT32_MAX || layout.height > INT32_MAX ||
      totalBytes / layout.height != layout.rowBytes || totalBytes > kLargestImageBytes) {
    *error = "image too large for the test host";
    return std::nullopt;
  }
  HostImage image;
  image.mode = layout.mode;
  image.width = static_cast<int32_t>(layout.width);
  image.height = static_cast<int32_t>(layout.height);
  image.planes = static_cast<int16_t>(layout.channels);
  image.depth = static_cast<int16_t>(layout.bitDepth);
  image.transparentIndex = layout.transparentIndex;
  for (int i = 0; i < layout.paletteSize; ++i) {
    image.red[i] = layout.palette[i].red;
    image.green[i] = layout.palette[i].green;
    image.blue[i] = layout.palette[i].blue;
  }
  const size_t samples = PlaneSize(image) * static_cast<size_t>(image.planes);
  if (image.depth == 16) {
    image.planar16.resize(samples);
  } else {
    image.planar.resize(samples);
  }
  std::vector<uint16_t> hostRow(image.depth == 16 ? static_cast<size_t>(image.width) * image.planes : 0);
  if (!layout.interlaced) {
    std::vector<png_byte> row(layout.rowBytes);
    if (!ReadRowsIntoPlanes(records.png(), records.info(), row.data(), hostRow.data(), &image)) {
      *error = failure.message;
      return std::nullopt;
    }
    ReadPngDocumentProperties(records.png(), records.info(), &image);
    return image;
  }
  std::vector<png_byte> pixels(totalBytes);
  std::vector<png_bytep> rows(layout.height);
  for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = pixels.data() + y * layout.rowBytes;
  if (!ReadRows(records.png(), records.info(), rows.data())) {
    *error = failure.message;
    return std::nullopt;
  }
  for (int32_t y = 0; y < image.height; ++y) StoreRow(image, y, rows[static_cast<size_t>(y)], hostRow.data());
  ReadPngDocumentProperties(records.png(), records.info(), &image);
  return image;
}
