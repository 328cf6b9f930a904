// The PNG writer read back from outside: chunks and header per type, palette and transparency, background,
// the library's default encoding, the failure paths and their log lines, progress, and the size line.
#include <png.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "base/callouts.h"
#include "png/png_writer.h"
#include "png/size_text.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "testhost/tests/temp_folder.h"
#include "tests/e2e/png_readback.h"

namespace {

using readback::ChunkOrder;
using readback::ChunksOf;
using readback::Decode;
using readback::FileBytes;
using readback::FindChunk;
using readback::HeaderOf;
using Bytes = std::vector<uint8_t>;
using Order = std::vector<std::string>;

// Every sample differs from its neighbours, so a row taken from the wrong place shows.
Bytes PatternPixels(int32_t width, int32_t height, int32_t bytesPerPixel, int32_t modulus = 256) {
  Bytes pixels(static_cast<size_t>(width) * height * bytesPerPixel);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 37 + i / 7) % modulus);
  return pixels;
}

// Entry i: a colour that tells i apart; alpha i below `opaqueFrom`, 255 from there on.
PaletteRecord PaletteOf(int32_t count, int32_t opaqueFrom) {
  PaletteRecord palette;
  palette.count = count;
  for (int i = 0; i < 256; ++i) {
    palette.entries[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                      static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i < opaqueFrom ? i : 255), 0};
  }
  return palette;
}

Bytes PlteBytes(const PaletteRecord& palette) {
  Bytes bytes;
  for (int i = 0; i < palette.count; ++i) {
    bytes.insert(bytes.end(), {palette.entries[i].red, palette.entries[i].green, palette.entries[i].blue});
  }
  return bytes;
}

Bytes AlphaBytes(const PaletteRecord& palette) {
  Bytes bytes;
  for (int i = 0; i < palette.count; ++i) bytes.push_back(palette.entries[i].alpha);
  return bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// --- An independent encoding: libpng's classic API with nothing set but the chunks ---

struct ReferenceImage {
  uint32_t width = 0;
  uint32_t height = 0;
  int colorType = 0;
  const uint8_t* pixels = nullptr;
  size_t rowBytes = 0;
  std::vector<png_color> palette;
  Bytes alphas;  // tRNS when not empty
  png_color_16 background{};
};

// The jump target lives alone in this frame, which holds nothing with a destructor.
bool WriteReferenceGuarded(png_structp png, png_infop info, FILE* file, const ReferenceImage& image, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, image.width, image.height, 8, image.colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty()) png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
  if (!image.alphas.empty()) {
    png_set_tRNS(png, info, image.alphas.data(), static_cast<int>(image.alphas.size()), nullptr);
  }
  png_set_bKGD(png, info, &image.background);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

Bytes ReferenceEncoding(const ReferenceImage& image, const std::string& path) {
  std::vector<png_bytep> rows(image.height);
  for (uint32_t y = 0; y < image.height; ++y) rows[y] = const_cast<png_bytep>(image.pixels + y * image.rowBytes);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return {};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool written = WriteReferenceGuarded(png, info, file, image, rows.data());
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return written ? FileBytes(path) : Bytes{};
}

// Each test runs in its own folder, which is also the working folder, so the debug log lands there.
class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
  }
  void TearDown() override { std::filesystem::current_path(previousFolder_); }

  std::string File(const std::string& name) const { return folder_.File(name); }

  // Encodes the job into a fresh file and returns what WritePng said the size was.
  int32_t Write(const PngWriteJob& job, const std::string& name) {
    FILE* file = std::fopen(File(name).c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return -1;
    const int32_t size = WritePng(file, job).size;
    std::fclose(file);
    return size;
  }

  static void ClearLog() { std::remove("VexlorinLog.txt"); }
  static std::vector<std::string> LogLines() {
    std::ifstream file("VexlorinLog.txt", std::ios::binary);
    return Lines(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
  }

  // Decodes and walks the file, checks what every file must satisfy, and hands back its chunks.
  std::vector<readback::Chunk> ReadBack(const std::string& name, int32_t reportedSize) {
    const Bytes bytes = FileBytes(File(name));
    EXPECT_EQ(static_cast<size_t>(reportedSize), bytes.size()) << name << ": the size returned is the file's length";
    readback::ChunkList list = ChunksOf(bytes);
    EXPECT_EQ(list.problem, "") << name;
    const readback::Header header = HeaderOf(list.chunks);
    EXPECT_EQ(header.bitDepth, 8) << name;
    EXPECT_EQ(header.compression, 0) << name;
    EXPECT_EQ(header.filter, 0) << name;
    EXPECT_EQ(header.interlace, 0) << name;
    EXPECT_EQ(readback::PngcheckComplaints({File(name)}), "") << name;
    return list.chunks;
  }

  TempFolder folder_;
  std::filesystem::path previousFolder_;
};

PngWriteJob JobOf(const Bytes& pixels, int32_t width, int32_t height, int32_t bytesPerPixel, int32_t type) {
  PngWriteJob job;
  job.pixels = pixels.data();
  job.rowBytes = width * bytesPerPixel;
  job.width = width;
  job.height = height;
  job.pngType = type;
  return job;
}

// --- Palette type ---

TEST_F(WriterTest, FullPaletteWithTransparencyKeepsAllEntriesIncludingOpaqueOnes) {
  // Entries 200 to 255 are opaque: a writer that drops trailing opaque alphas would shorten tRNS.
  const PaletteRecord palette = PaletteOf(256, 200);
  Bytes pixels(16 * 16);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(255 - i);
  // Keyed, only entry 0 (alpha 0) is clear; every other entry, whatever its alpha, is opaque.
  Bytes keyed(256, 255);
  keyed[0] = 0;
  for (const PaletteAlpha how : {PaletteAlpha::kEntryAlpha, PaletteAlpha::kKeyed}) {
    PngWriteJob job = JobOf(pixels, 16, 16, 1, kPngPalette);
    job.hasAlphaPlane = true;
    job.paletteAlpha = how;
    job.palette = &palette;
    const Bytes alphas = how == PaletteAlpha::kKeyed ? keyed : AlphaBytes(palette);
    const std::string name = "full" + std::to_string(static_cast<int>(how)) + ".png";
    const auto chunks = ReadBack(name, Write(job, name));
    SCOPED_TRACE(name);
    EXPECT_EQ(ChunkOrder(chunks), (Order{"IHDR", "PLTE", "tRNS", "bKGD", "IDAT", "IEND"}));
    EXPECT_EQ(HeaderOf(chunks).colorType, 3);
    ASSERT_NE(FindChunk(chunks, "PLTE"), nullptr);
    EXPECT_EQ(FindChunk(chunks, "PLTE")->size(), 768u);
    EXPECT_EQ(*FindChunk(chunks, "PLTE"), PlteBytes(palette));
    ASSERT_NE(FindChunk(chunks, "tRNS"), nullptr);
    EXPECT_EQ(FindChunk(chunks, "tRNS")->size(), 256u);
    EXPECT_EQ(*FindChunk(chunks, "tRNS"), alphas);
    EXPECT_EQ(*FindChunk(chunks, "bKGD"), Bytes{0});

    const readback::Decoded decoded = Decode(File(name));
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.pixels, pixels);
    ASSERT_EQ(decoded.colormap.size(), 256u * 4);
    for (int i = 0; i < 256; ++i) {
      const PaletteEntry& entry = palette.entries[i];
      EXPECT_EQ(Bytes(decoded.colormap.begin() + i * 4, decoded.colormap.begin() + i * 4 + 4),
                (Bytes{entry.red, entry.green, entry.blue, alphas[i]}))
          << "entry " << i;
    }
  }
}

TEST_F(WriterTest, PaletteGetsTransparencyOnlyWhenItsEntriesAreNotAllOpaque) {
  const PaletteRecord palette = PaletteOf(5, 3);
  const Bytes pixels = PatternPixels(7, 3, 1, 5);
  for (const PaletteAlpha how : {PaletteAlpha::kOpaque, PaletteAlpha::kEntryAlpha, PaletteAlpha::kKeyed}) {
    PngWriteJob job = JobOf(pixels, 7, 3, 1, kPngPalette);
    job.hasAlphaPlane = true;
    job.alphaChannel = true;  // the palette's transparency is the job's to say, not these
    job.paletteAlpha = how;
    job.palette = &palette;
    const std::string name = "p" + std::to_string(static_cast<int>(how)) + ".png";
    const auto chunks = ReadBack(name, Write(job, name));
    SCOPED_TRACE(name);
    const bool transparency = how != PaletteAlpha::kOpaque;
    const Order expected = transparency ? Order{"IHDR", "PLTE", "tRNS", "bKGD", "IDAT", "IEND"}
                                        : Order{"IHDR", "PLTE", "bKGD", "IDAT", "IEND"};
    EXPECT_EQ(ChunkOrder(chunks), expected);
    EXPECT_EQ(*FindChunk(chunks, "PLTE"), PlteBytes(palette));
    if (how == PaletteAlpha::kEntryAlpha) {
      EXPECT_EQ(*FindChunk(chunks, "tRNS"), AlphaBytes(palette));
    }
    if (how == PaletteAlpha::kKeyed) {
      EXPECT_EQ(*FindChunk(chunks, "tRNS"), (Bytes{0, 255, 255, 255, 255}));
    }
    const readback::Decoded decoded = Decode(File(name));
    EXPECT_EQ(decoded.pixels, pixels);
  }
}

TEST_F(WriterTest, SmallPalettesStayAtEightBitsPerIndex) {
  for (const int32_t count : {1, 2, 4, 16}) {
    const PaletteRecord palette = PaletteOf(count, 256);
    const Bytes pixels = PatternPixels(9, 4, 1, count);
    PngWriteJob job = JobOf(pixels, 9, 4, 1, kPngPalette);
    job.palette = &palette;
    const std::string name = "small" + std::to_string(count) + ".png";
    const auto chunks = ReadBack(name, Write(job, name));
    SCOPED_TRACE(name);
    EXPECT_EQ(HeaderOf(chunks).bitDepth, 8);
    EXPECT_EQ(FindChunk(chunks, "PLTE")->size(), static_cast<size_t>(count) * 3);
    EXPECT_EQ(Decode(File(name)).pixels, pixels);
  }
}

// --- Gray and RGB types ---

TEST_F(WriterTest, GrayAndRgbTakeAlphaOnlyFromAnAlphaPlaneWithAlphaChannelOn) {
  struct Case {
    int32_t type;
    bool alphaPlane;
    bool alphaChannel;
    int colorType;
  };
  const Case cases[] = {
      {kPngGrayscale, false, false, 0}, {kPngGrayscale, false, true, 0}, {kPngGrayscale, true, false, 0},
      {kPngGrayscale, true, true, 4},   {kPngRgb, false, false, 2},      {kPngRgb, false, true, 2},
      {kPngRgb, true, false, 2},        {kPngRgb, true, true, 6},
  };
  for (const Case& c : cases) {
    // These types never get a tRNS chunk.
    const int samples = (c.type == kPngRgb ? 3 : 1) + (c.colorType == 4 || c.colorType == 6 ? 1 : 0);
    const Bytes pixels = PatternPixels(11, 5, samples);
    PngWriteJob job = JobOf(pixels, 11, 5, samples, c.type);
    job.hasAlphaPlane = c.alphaPlane;
    job.alphaChannel = c.alphaChannel;
    const std::string name =
        "t" + std::to_string(c.type) + std::to_string(c.alphaPlane) + std::to_string(c.alphaChannel) + ".png";
    const auto chunks = ReadBack(name, Write(job, name));
    SCOPED_TRACE(name);
    EXPECT_EQ(ChunkOrder(chunks), (Order{"IHDR", "bKGD", "IDAT", "IEND"}));
    const readback::Header header = HeaderOf(chunks);
    EXPECT_EQ(header.colorType, c.colorType);
    EXPECT_EQ(header.width, 11u);
    EXPECT_EQ(header.height, 5u);
    const readback::Decoded decoded = Decode(File(name));
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.channels, samples);
    EXPECT_EQ(decoded.pixels, pixels);
  }
}

TEST_F(WriterTest, RowsAreTakenAtTheirRowBytesApart) {
  // Three padding bytes after each row of 4 RGB pixels; they must not reach the file.
  const int32_t width = 4;
  const int32_t height = 6;
  const int32_t rowBytes = width * 3 + 3;
  Bytes buffer(static_cast<size_t>(rowBytes) * height, 0xEE);
  Bytes expected;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t i = 0; i < width * 3; ++i) {
      buffer[static_cast<size_t>(y) * rowBytes + i] = static_cast<uint8_t>(y * 40 + i);
      expected.push_back(static_cast<uint8_t>(y * 40 + i));
    }
  }
  PngWriteJob job = JobOf(buffer, width, height, 3, kPngRgb);
  job.rowBytes = rowBytes;
  const auto chunks = ReadBack("padded.png", Write(job, "padded.png"));
  EXPECT_EQ(Decode(File("padded.png")).pixels, expected);
}

// --- Background ---

TEST_F(WriterTest, BackgroundComesFromTheFillColourInTheFormOfTheColourType) {
  struct Case {
    int32_t fillColor;
    Bytes rgb;   // bKGD of an RGB file: red, green, blue as 16-bit values
    Bytes gray;  // bKGD of a gray file: (red + green + blue) / 3, rounded down
  };
  const Case cases[] = {
      {0x0000FF, {0, 255, 0, 0, 0, 0}, {0, 85}},
      {0x00FFFF, {0, 255, 0, 255, 0, 0}, {0, 170}},
      {0x010000, {0, 0, 0, 0, 0, 1}, {0, 0}},
      {0xFFFFFF, {0, 255, 0, 255, 0, 255}, {0, 255}},
      // The top byte is not part of the colour, even when it makes the value negative.
      {static_cast<int32_t>(0xFF102030u), {0, 0x30, 0, 0x20, 0, 0x10}, {0, 0x20}},
  };
  const PaletteRecord palette = PaletteOf(3, 256);
  for (const Case& c : cases) {
    const std::string tag = std::to_string(c.fillColor);
    for (const int32_t type : {kPngGrayscale, kPngPalette, kPngRgb}) {
      const int32_t samples = type == kPngRgb ? 3 : 1;
      const Bytes pixels = PatternPixels(3, 2, samples, 3);
      PngWriteJob job = JobOf(pixels, 3, 2, samples, type);
      job.fillColor = c.fillColor;
      job.palette = &palette;
      const std::string name = "bg" + std::to_string(type) + "_" + tag + ".png";
      const auto chunks = ReadBack(name, Write(job, name));
      SCOPED_TRACE(name);
      ASSERT_NE(FindChunk(chunks, "bKGD"), nullptr);
      const Bytes expected = type == kPngRgb ? c.rgb : type == kPngGrayscale ? c.gray : Bytes{0};
      EXPECT_EQ(*FindChunk(chunks, "bKGD"), expected);
    }
  }
}

// --- The library's defaults ---

TEST_F(WriterTest, FileIsWhatTheLibraryWritesWithNothingButTheChunksSet) {
  const PaletteRecord palette = PaletteOf(40, 30);
  struct Case {
    int32_t type;
    bool alphaPlane;
    int colorType;
    int samples;
  };
  // Large enough for the compressed data to depend on level, strategy, window and row filters.
  const int32_t width = 173;
  const int32_t height = 61;
  for (const Case c : {Case{kPngGrayscale, false, 0, 1}, Case{kPngGrayscale, true, 4, 2}, Case{kPngRgb, false, 2, 3},
                       Case{kPngRgb, true, 6, 4}, Case{kPngPalette, false, 3, 1}, Case{kPngPalette, true, 3, 1}}) {
    Bytes pixels(static_cast<size_t>(width) * height * c.samples);
    for (size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = static_cast<uint8_t>(c.type == kPngPalette ? (i / 5 + i % 3) % 40 : (i * i / 11 + i / 97) & 0xFF);
    }
    PngWriteJob job = JobOf(pixels, width, height, c.samples, c.type);
    job.hasAlphaPlane = c.alphaPlane;
    job.alphaChannel = true;
    job.paletteAlpha = c.alphaPlane ? PaletteAlpha::kEntryAlpha : PaletteAlpha::kOpaque;
    job.fillColor = 0x203040;
    job.palette = &palette;
    const std::string name = "lib" + std::to_string(c.colorType) + std::to_string(c.alphaPlane) + ".png";
    ReadBack(name, Write(job, name));

    ReferenceImage reference;
    reference.width = width;
    reference.height = height;
    reference.colorType = c.colorType;
    reference.pixels = pixels.data();
    reference.rowBytes = static_cast<size_t>(width) * c.samples;
    reference.background.red = 0x40;
    reference.background.green = 0x30;
    reference.background.blue = 0x20;
    reference.background.gray = (0x40 + 0x30 + 0x20) / 3;
    if (c.type == kPngPalette) {
      for (int i = 0; i < palette.count; ++i) {
        reference.palette.push_back(
            png_color{palette.entries[i].red, palette.entries[i].green, palette.entries[i].blue});
      }
      if (c.alphaPlane) reference.alphas = AlphaBytes(palette);
    }
    const Bytes expected = ReferenceEncoding(reference, File("reference.png"));
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(FileBytes(File(name)) == expected) << name << " differs from the library's default encoding";
  }
}

// --- Failure ---

TEST_F(WriterTest, TypeOutsideTheThreeEndsInTheFailurePath) {
  const Bytes pixels = PatternPixels(4, 4, 3);
  for (const int32_t type : {3, -1, 100}) {
    PngWriteJob job = JobOf(pixels, 4, 4, 3, type);
    ClearLog();
    // What the library wrote before it refused is no PNG, hence not named like one.
    EXPECT_EQ(Write(job, "refused.temp"), 0) << type;
    // No header line, then the library refuses the header and the writer reports it; nothing after that.
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{"CompressPNG:before try", "before png_create_write_struct",
                                        "before png_create_info_struct", "before png_init_io", "save background",
                                        "before png_write_info", "catch inside CompressPNG"}))
        << type;
  }
}

TEST_F(WriterTest, TheResultTellsAFinishedFileFromAFailureAndFromAStop) {
  const Bytes pixels = PatternPixels(4, 6, 3);
  const auto write = [this](const PngWriteJob& job, const ProgressReport& progress) {
    FILE* file = std::fopen(File("result.temp").c_str(), "wb");
    EXPECT_NE(file, nullptr);
    const PngResult result = WritePng(file, job, progress);
    std::fclose(file);
    return result;
  };
  const PngResult finished = write(JobOf(pixels, 4, 6, 3, kPngRgb), nullptr);
  EXPECT_EQ(finished.status, PngStatus::Ok);
  EXPECT_EQ(static_cast<size_t>(finished.size), FileBytes(File("result.temp")).size());

  const PngResult failed = write(JobOf(pixels, 4, 6, 3, 3), nullptr);
  EXPECT_EQ(failed.status, PngStatus::Failed);
  EXPECT_EQ(failed.size, 0);

  // The report says stop at the third row.
  int reports = 0;
  const PngResult stopped =
      write(JobOf(pixels, 4, 6, 3, kPngRgb), [&reports](double, double) { return ++reports < 3; });
  EXPECT_EQ(stopped.status, PngStatus::Aborted);
  EXPECT_EQ(stopped.size, 0);
  EXPECT_EQ(reports, 3);
}

// --- CompressPNG on the process-wide records ---

std::vector<std::pair<int32_t, int32_t>> progressSeen;
bool RecordProgress(double done, double total) {
  progressSeen.emplace_back(static_cast<int32_t>(done), static_cast<int32_t>(total));
  return true;
}

class CompressPngTest : public WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    savedWhole_ = WholeImage;
    savedReduced_ = ReducedImage;
    savedOptions_ = SaveOptions;
    savedPalette_ = Palette;
    savedPath_ = TempPngPath;
    savedCallouts_ = Callouts;
    progressSeen.clear();
    Callouts.progress = RecordProgress;
    ResetSaveOptions();
    TempPngPath = platform::FromUtf8(File("image.png.temp"));
  }
  void TearDown() override {
    // The pixels are the test's own vectors: forget them rather than free them.
    WholeImage = savedWhole_;
    ReducedImage = savedReduced_;
    SaveOptions = savedOptions_;
    Palette = savedPalette_;
    TempPngPath = savedPath_;
    Callouts = savedCallouts_;
    WriterTest::TearDown();
  }

  // A reduced image of the given layout over an acquired image of `planes` channels.
  void SetImage(int32_t width, int32_t height, int32_t planes, int32_t bytesPerPixel, const Bytes& reduced) {
    WholeImage = WholeImageRecord{};
    WholeImage._WholeWidth = width;
    WholeImage._WholeHeight = height;
    WholeImage._WholePlanesIn = planes;
    WholeImage.rowStride = width * planes;
    WholeImage._WholeMode = planes >= 3 ? 3 : 1;
    ReducedImage = ReducedImageRecord{};
    ReducedImage.pixels = const_cast<uint8_t*>(reduced.data());
    ReducedImage.pixelBytes = reduced.size();
    ReducedImage.bytesPerPixel = bytesPerPixel;
    ReducedImage.rowBytes = width * bytesPerPixel;
    ReducedImage.width = width;
    ReducedImage.height = height;
  }

  std::string TempFile() const { return platform::ToUtf8(TempPngPath); }

  WholeImageRecord savedWhole_;
  ReducedImageRecord savedReduced_;
  SaveOptionsRecord savedOptions_;
  PaletteRecord savedPalette_;
  platform::WidePath savedPath_;
  CalloutSlots savedCallouts_;
};

std::vector<std::string> SuccessLog(const std::vector<std::string>& headerLines, int32_t height, bool palette) {
  std::vector<std::string> lines = {"CompressPNG>>>>", "CompressPNG:before try", "before png_create_write_struct",
                                    "before png_create_info_struct", "before png_init_io"};
  lines.insert(lines.end(), headerLines.begin(), headerLines.end());
  lines.insert(lines.end(),
               {"save background", "before png_write_info", "before for y _WholeHeight",
                "_WholeHeight=" + std::to_string(height), "before png_write_end", "before png_destroy_write_struct"});
  if (palette) lines.push_back("before free palette");
  lines.insert(lines.end(), {"before filesize", "END CompressPNG()<<<"});
  return lines;
}

TEST_F(CompressPngTest, WritesTheReducedImageIntoTheTemporaryFileAndReportsTheSecondHalfOfProgress) {
  const int32_t width = 13;
  const int32_t height = 9;
  const Bytes reduced = PatternPixels(width, height, 4);
  SetImage(width, height, 4, 4, reduced);
  SaveOptions.pngType = kPngRgb;
  SaveOptions.alphaChannel = 1;
  SaveOptions.fillColor = 0x0000FF;
  // A longer file from before must be replaced, not overwritten in place.
  {
    std::ofstream old(TempFile(), std::ios::binary);
    old << std::string(100000, 'x');
  }
  LastCompressedSize = -5;
  ClearLog();
  const int32_t size = CompressPNG().size;
  EXPECT_GT(size, 0);
  EXPECT_EQ(LastCompressedSize, size);
  EXPECT_EQ(LogLines(), SuccessLog({"before png_set_IHDR1"}, height, false));
  const auto chunks = ReadBack("image.png.temp", size);
  EXPECT_EQ(ChunkOrder(chunks), (Order{"IHDR", "bKGD", "IDAT", "IEND"}));
  EXPECT_EQ(HeaderOf(chunks).colorType, 6);
  EXPECT_EQ(*FindChunk(chunks, "bKGD"), (Bytes{0, 255, 0, 0, 0, 0}));
  EXPECT_EQ(Decode(TempFile()).pixels, reduced);

  std::vector<std::pair<int32_t, int32_t>> expectedProgress;
  for (int32_t y = 0; y < height; ++y) expectedProgress.emplace_back(height + y, 2 * height);
  EXPECT_EQ(progressSeen, expectedProgress);
}

TEST_F(CompressPngTest, ReadsTypeOptionsAlphaPlaneAndPaletteFromTheSharedRecords) {
  const int32_t width = 6;
  const int32_t height = 5;
  {
    // Gray with an alpha plane in the image but alphaChannel off: one sample per pixel, gray background.
    const Bytes reduced = PatternPixels(width, height, 1);
    SetImage(width, height, 2, 1, reduced);
    SaveOptions.pngType = kPngGrayscale;
    SaveOptions.alphaChannel = 0;
    SaveOptions.fillColor = 0x0000FF;
    ClearLog();
    const int32_t size = CompressPNG().size;
    EXPECT_EQ(LogLines(), SuccessLog({"beofre png_set_IHDR grayscale"}, height, false));
    const auto chunks = ReadBack("image.png.temp", size);
    EXPECT_EQ(HeaderOf(chunks).colorType, 0);
    EXPECT_EQ(*FindChunk(chunks, "bKGD"), (Bytes{0, 85}));
    EXPECT_EQ(Decode(TempFile()).pixels, reduced);
  }
  {
    // Palette of an RGBA image with only the key colour on: tRNS with every entry in use, clear for the key
    // (alpha 0) and opaque for every other entry whatever alpha the build averaged for it.
    Palette = PaletteOf(12, 4);
    const Bytes reduced = PatternPixels(width, height, 1, 12);
    SetImage(width, height, 4, 1, reduced);
    SaveOptions.pngType = kPngPalette;
    SaveOptions.alphaChannel = 0;
    SaveOptions.useKeyColor = 1;
    ClearLog();
    const int32_t size = CompressPNG().size;
    EXPECT_EQ(LogLines(),
              SuccessLog({"before png_set_IHDR2", "before png_set_tRNS", "before png_set_PLTE"}, height, true));
    const auto chunks = ReadBack("image.png.temp", size);
    EXPECT_EQ(ChunkOrder(chunks), (Order{"IHDR", "PLTE", "tRNS", "bKGD", "IDAT", "IEND"}));
    EXPECT_EQ(*FindChunk(chunks, "PLTE"), PlteBytes(Palette));
    EXPECT_EQ(*FindChunk(chunks, "tRNS"), (Bytes{0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}));
    EXPECT_EQ(*FindChunk(chunks, "bKGD"), Bytes{0});
    EXPECT_EQ(Decode(TempFile()).pixels, reduced);
  }
  {
    // An indexed image whose colour table has a transparent entry (the host's transparent index): tRNS that
    // makes that entry clear and every other opaque, whatever the options say.
    Palette = PaletteOf(12, 0);
    Palette.entries[5].alpha = 0;
    const Bytes reduced = PatternPixels(width, height, 1, 12);
    SetImage(width, height, 1, 1, reduced);
    WholeImage._WholeMode = kWholeIndexed;
    SaveOptions.alphaChannel = 1;
    SaveOptions.useKeyColor = 0;
    const int32_t size = CompressPNG().size;
    const auto chunks = ReadBack("image.png.temp", size);
    EXPECT_EQ(ChunkOrder(chunks), (Order{"IHDR", "PLTE", "tRNS", "bKGD", "IDAT", "IEND"}));
    EXPECT_EQ(*FindChunk(chunks, "tRNS"), (Bytes{255, 255, 255, 255, 255, 0, 255, 255, 255, 255, 255, 255}));
  }
  {
    // The same palette image acquired without an alpha plane: no tRNS, whatever the options say.
    Palette = PaletteOf(12, 4);
    const Bytes reduced = PatternPixels(width, height, 1, 12);
    SetImage(width, height, 3, 1, reduced);
    SaveOptions.alphaChannel = 1;
    SaveOptions.useKeyColor = 1;
    ClearLog();
    const int32_t size = CompressPNG().size;
    EXPECT_EQ(LogLines(), SuccessLog({"before png_set_IHDR2", "before png_set_PLTE"}, height, true));
    const auto chunks = ReadBack("image.png.temp", size);
    EXPECT_EQ(ChunkOrder(chunks), (Order{"IHDR", "PLTE", "bKGD", "IDAT", "IEND"}));
  }
}

TEST_F(CompressPngTest, TemporaryFileThatCannotBeOpenedGivesZeroAndNothingElse) {
  const Bytes reduced = PatternPixels(5, 5, 3);
  SetImage(5, 5, 3, 3, reduced);
  TempPngPath = platform::FromUtf8(File("no such folder/image.png.temp"));
  LastCompressedSize = 77;
  ClearLog();
  EXPECT_EQ(CompressPNG().size, 0);
  EXPECT_EQ(LastCompressedSize, 0);
  // The log shows that no library structure was made.
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"CompressPNG>>>>", "png file open failed"}));
  EXPECT_TRUE(progressSeen.empty());
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
    entries.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(entries, std::vector<std::string>{"VexlorinLog.txt"});
}

// --- The size line ---

std::vector<std::string> statusLines;
void RecordStatusLine(void*, const char* line) { statusLines.emplace_back(line); }

TEST_F(CompressPngTest, SizeLineShowsAcquiredBytesAndTheEncodingsResult) {
  statusLines.clear();
  Callouts.statusLine = RecordStatusLine;
  const std::string prefix = "\n\r   File Size (Original/Compressed): ";

  // RGBA 100 x 100: 40,000 bytes before reduction, whatever the reduced layout is.
  const Bytes rgb = PatternPixels(100, 100, 3);
  SetImage(100, 100, 4, 3, rgb);
  SaveOptions.alphaChannel = 0;
  const int32_t size = CompressPNG().size;
  ASSERT_GT(size, 0);
  ReadBack("image.png.temp", size);
  PrintFileSize(size);
  PrintFileSize(2997);

  // Gray 1000 x 1000: 1,000,000 bytes stays in KBytes.
  const Bytes gray(1000 * 1000, 0x80);
  SetImage(1000, 1000, 1, 1, gray);
  PrintFileSize(0);

  // A failed encoding reaches the line as 0 Bytes.
  SetImage(100, 100, 4, 3, rgb);
  TempPngPath = platform::FromUtf8(File("missing/x.temp"));
  PrintFileSize(CompressPNG().size);

  EXPECT_EQ(statusLines, (std::vector<std::string>{
                             prefix + "40 KBytes / " +
                                 readback::SizeText(static_cast<int64_t>(FileBytes(File("image.png.temp")).size())),
                             prefix + "40 KBytes / 2997 Bytes",
                             prefix + "1000 KBytes / 0 Bytes",
                             prefix + "40 KBytes / 0 Bytes",
                         }));
}

}  // namespace
