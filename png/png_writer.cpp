#include "png/png_writer.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <new>
#include <optional>

#include "base/debug_log.h"
#include "base/page_block.h"
#include "base/platform.h"
#include "base/progress.h"
#include "png/png_optimize.h"
#include "png/sixteen_bit_rows.h"
#include "records/color.h"
#include "records/document_info.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"

int32_t LastCompressedSize = 0;

namespace {
constexpr size_t kTempFileBufferBytes = 1 << 20;
constexpr PngResult kFailed{PngStatus::Failed, 0};
}  // namespace

namespace {

// The chunk data one encoding hands to the library; owned by WritePng, so the guarded frame below holds
// nothing with a destructor for the library's long jump to skip.
struct ChunkData {
  png_bytep* rows = nullptr;
  // A 16-bit file's rows are made one at a time into row16.
  const SixteenBitRows* rows16 = nullptr;
  png_bytep row16 = nullptr;
  png_color colors[256] = {};
  png_byte alphas[256] = {};
  bool hasPalette = false;
  bool aborted = false;  // the host asked to stop part-way
};

void SetHeader(png_structp png, png_infop info, const PngWriteJob& job, ChunkData& chunks) {
  const png_uint_32 width = static_cast<png_uint_32>(job.width);
  const png_uint_32 height = static_cast<png_uint_32>(job.height);
  const int depth = job.SixteenBits() ? 16 : 8;
  switch (job.pngType) {
    case 2: {
      DebugLog("before png_set_IHDR1");
      const int colorType = job.hasAlphaPlane && job.alphaChannel ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
      png_set_IHDR(png, info, width, height, depth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                   PNG_FILTER_TYPE_DEFAULT);
      break;
    }
    case 1: {
      DebugLog("before png_set_IHDR2");
      png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                   PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
      const int count = job.palette->count;
      for (int i = 0; i < count; ++i) {
        const PaletteEntry& entry = job.palette->entries[i];
        chunks.colors[i] = png_color{entry.red, entry.green, entry.blue};
      }
      chunks.hasPalette = true;
      if (job.paletteAlpha != PaletteAlpha::kOpaque) {
        for (int i = 0; i < count; ++i) chunks.alphas[i] = SavedAlpha(job.palette->entries[i], job.paletteAlpha);
        DebugLog("before png_set_tRNS");
        png_set_tRNS(png, info, chunks.alphas, count, nullptr);
      }
      DebugLog("before png_set_PLTE");
      png_set_PLTE(png, info, chunks.colors, count);
      break;
    }
    case 0: {
      DebugLog("beofre png_set_IHDR grayscale");
      const int colorType = job.hasAlphaPlane && job.alphaChannel ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY;
      png_set_IHDR(png, info, width, height, depth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                   PNG_FILTER_TYPE_DEFAULT);
      break;
    }
    default: break;  // no header: the library refuses to write the image, which ends in the failure path
  }
}

// The fill colour in the file's own sample range: a 16-bit file states 255 as 65535.
void SetBackground(png_structp png, png_infop info, int32_t fillColor, bool sixteenBits) {
  DebugLog("save background");
  png_color_16 background{};
  background.index = 0;
  const RgbColor fill = UnpackColor(static_cast<uint32_t>(fillColor));
  const int scale = sixteenBits ? 257 : 1;
  background.red = static_cast<png_uint_16>(fill.red * scale);
  background.green = static_cast<png_uint_16>(fill.green * scale);
  background.blue = static_cast<png_uint_16>(fill.blue * scale);
  background.gray = static_cast<png_uint_16>((fill.red + fill.green + fill.blue) / 3 * scale);
  png_set_bKGD(png, info, &background);
}

// The sRGB chunk, or the document's profile; nothing else (no gAMA or cHRM of its own).
void SetColorChunk(png_structp png, png_infop info, const PngWriteJob& job) {
  switch (job.colorChunk) {
    case ColorChunk::kNone: break;
    case ColorChunk::kSrgb: png_set_sRGB(png, info, kSrgbIntent); break;
    case ColorChunk::kIccp:
      png_set_iCCP(png, info, job.iccpKeyword.c_str(), PNG_COMPRESSION_TYPE_BASE, job.iccProfile->data(),
                   static_cast<png_uint_32>(job.iccProfile->size()));
      break;
  }
}

// The resolution and the XMP, where Metadata asks for them.
void SetMetadata(png_structp png, png_infop info, const PngWriteJob& job) {
  if (job.pixelsPerMetreX > 0) png_set_pHYs(png, info, job.pixelsPerMetreX, job.pixelsPerMetreY, PNG_RESOLUTION_METER);
  if (job.xmp == nullptr) return;
  png_text text{};
  text.compression = PNG_ITXT_COMPRESSION_NONE;
  text.key = const_cast<png_charp>(kXmpKeyword);
  text.text = const_cast<png_charp>(job.xmp->c_str());
  text.itxt_length = job.xmp->size();
  text.lang = nullptr;
  text.lang_key = nullptr;
  png_set_text(png, info, &text, 1);
}

// Every library call that can fail runs here. The library's default error handling long-jumps back to the
// setjmp below, so this frame and the ones it calls keep only plain data.
bool WriteGuarded(png_structp png, png_infop info, const PngWriteJob& job, const ProgressReport& progress,
                  ChunkData& chunks) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  SetHeader(png, info, job, chunks);
  SetBackground(png, info, job.fillColor, job.SixteenBits());
  SetColorChunk(png, info, job);
  SetMetadata(png, info, job);
  DebugLog("before png_write_info");
  png_write_info(png, info);
  DebugLog("before for y _WholeHeight");
  DebugLog("_WholeHeight=%d", job.height);
  for (int32_t y = 0; y < job.height; ++y) {
    if (chunks.rows16 != nullptr) {
      chunks.rows16->Row(y, chunks.row16);
      png_write_rows(png, &chunks.row16, 1);
    } else {
      png_write_rows(png, &chunks.rows[y], 1);
    }
    if (progress && !progress(job.height + y, 2.0 * job.height)) {
      chunks.aborted = true;
      return false;
    }
  }
  DebugLog("before png_write_end");
  png_write_end(png, info);
  return true;
}

}  // namespace

PngResult WritePng(FILE* file, const PngWriteJob& job, const ProgressReport& progress) {
  ChunkData chunks;
  const bool sixteenBits = job.SixteenBits();
  const size_t rowTableBytes =
      sixteenBits ? 0 : sizeof(png_bytep) * static_cast<size_t>(job.height > 0 ? job.height : 0);
  PageBlock rowTable(rowTableBytes);
  if (rowTableBytes > 0 && !rowTable) return kFailed;
  chunks.rows = rowTable.As<png_bytep>();
  for (int32_t y = 0; y < job.height && !sixteenBits; ++y) {
    chunks.rows[y] = const_cast<png_bytep>(job.pixels + static_cast<size_t>(y) * job.rowBytes);
  }
  std::optional<SixteenBitRows> rows16;
  PageBlock row16;
  if (sixteenBits) {
    rows16.emplace(*job.image16, job.pngType, job.alphaChannel, job.fillColor);
    row16 = PageBlock(std::max<size_t>(rows16->RowBytes(), 1));
    if (!row16) return kFailed;
    chunks.rows16 = &*rows16;
    chunks.row16 = row16.As<png_byte>();
  }

  DebugLog("CompressPNG:before try");
  DebugLog("before png_create_write_struct");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) {
    DebugLog("Cannot create_write_struct");
    return kFailed;
  }
  DebugLog("before png_create_info_struct");
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    DebugLog("cannot create_info_struct");
    return kFailed;
  }
  DebugLog("before png_init_io");
  png_init_io(png, file);

  const bool written = WriteGuarded(png, info, job, progress, chunks);
  if (!written && !chunks.aborted) DebugLog("catch inside CompressPNG");
  if (written) DebugLog("before png_destroy_write_struct");
  png_destroy_write_struct(&png, &info);
  if (written && chunks.hasPalette) DebugLog("before free palette");
  rowTable.Reset();
  row16.Reset();
  if (chunks.aborted) return {PngStatus::Aborted, 0};
  if (!written) return kFailed;

  DebugLog("before filesize");
  // A full disk may show only when the last buffered bytes go out; the file is then not the PNG.
  if (std::fflush(file) != 0 || std::ferror(file) != 0) return kFailed;
  const int32_t size = platform::FileSizeOf(file);
  if (size <= 0) return kFailed;
  return {PngStatus::Ok, size};
}

uint32_t PixelsPerMetre(int32_t fixedPixelsPerInch) {
  if (fixedPixelsPerInch <= 0) return 0;
  // An inch is 0.0254 m: ppm = ppi x 10000 / 254, rounded.
  constexpr int64_t kPerInch = int64_t{254} << 16;
  return static_cast<uint32_t>((int64_t{fixedPixelsPerInch} * 10000 + kPerInch / 2) / kPerInch);
}

PngWriteJob PngWriteJobFor(const WholeImageRecord& image, const SaveOptionsRecord& options,
                           const PaletteRecord& palette, const ReducedImageRecord& reduced,
                           const WholeImage16Record* image16) {
  PngWriteJob job;
  // Rows left from a reduction that stopped are not the image the user chose.
  job.pixels = reduced.stale ? nullptr : reduced.pixels;
  job.rowBytes = reduced.rowBytes;
  job.width = image._WholeWidth;
  job.height = image._WholeHeight;
  // Unchecked values from the settings file or a played-back action are read as the reduction read them.
  job.pngType = UsablePngType(options.pngType);
  job.hasAlphaPlane = HasAlphaPlane(image._WholePlanesIn);
  job.alphaChannel = options.alphaChannel != 0;
  job.paletteAlpha =
      PaletteAlphaFor(image._WholeMode, image._WholePlanesIn, job.alphaChannel, options.useKeyColor != 0, palette);
  job.fillColor = options.fillColor;
  job.palette = &palette;
  job.image16 = image16;
  job.smallest = UsableCompression(options.compression) == kSmallestCompression;
  if (options.metadata != 0) {
    job.pixelsPerMetreX = PixelsPerMetre(DocumentInfo.horizontalResolution);
    job.pixelsPerMetreY = PixelsPerMetre(DocumentInfo.verticalResolution);
    if (job.pixelsPerMetreX == 0 || job.pixelsPerMetreY == 0) job.pixelsPerMetreX = job.pixelsPerMetreY = 0;
    if (!DocumentInfo.xmp.empty()) job.xmp = &DocumentInfo.xmp;
  }
  if (options.convertToSrgb != 0 && SrgbImage.pixels != nullptr) {
    job.colorChunk = ColorChunk::kSrgb;  // the pixels are sRGB's now, whatever the document's profile was
  } else if (!DocumentInfo.iccProfile.empty()) {
    const IccProfileFacts facts = ReadIccProfileFacts(DocumentInfo.iccProfile.data(), DocumentInfo.iccProfile.size());
    job.colorChunk = ColorChunkFor(job.pngType, facts);
    job.iccProfile = &DocumentInfo.iccProfile;
    job.iccSpace = facts.space;
    job.iccpKeyword = IccpKeyword(facts);
  }
  return job;
}

PngResult EncodePngFile(const platform::WidePath& path, const PngWriteJob& job, const ProgressReport& progress) {
  if (job.smallest && job.pixels != nullptr) {
    const PngResult smallest = EncodeSmallestPngFile(path, job, progress);
    if (smallest.status != PngStatus::Failed) return smallest;
    DebugLog("Smallest failed: the Standard file instead");
  }
  DebugLog("CompressPNG>>>>");
  FILE* file = platform::OpenFile(path, "wb");
  if (file == nullptr) {
    DebugLog("png file open failed");
    return kFailed;
  }
  // Large writes: with the small default buffer a large PNG costs thousands of calls into the system. Where
  // the buffer cannot be had the default one stays. The file is closed below, before the buffer goes.
  const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kTempFileBufferBytes]);
  if (buffer != nullptr) std::setvbuf(file, buffer.get(), _IOFBF, kTempFileBufferBytes);
  const PngResult result = job.pixels != nullptr ? WritePng(file, job, progress) : kFailed;
  std::fclose(file);
  if (result.status == PngStatus::Ok) DebugLog("END CompressPNG()<<<");
  return result;
}

PngResult CompressPNG() {
  LastCompressedSize = 0;
  const PngResult result = EncodePngFile(
      TempPngPath, PngWriteJobFor(WholeImage, SaveOptions, Palette, ReducedImage, Image16ToEncode(SaveOptions)),
      Progress);
  LastCompressedSize = result.size;
  return result;
}
