// The smallest file read back from outside: for hand-made pictures of known colours, the colour type, bit depth
// and palette it chose, and every pixel as libpng decodes it equal to the Standard file's (but the colour of fully
// transparent pixels), pngcheck content with every file; and a stop at any point leaves no file.
#include "png/png_optimize.h"

#include <png.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "records/palette.h"
#include "testhost/tests/temp_folder.h"
#include "tests/e2e/png_readback.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Rgba8 {
  uint8_t r, g, b, a;
};

// Decoded to 8-bit RGBA whatever the file's layout.
Bytes DecodeRgba(const std::string& path, uint32_t* width = nullptr) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  image.format = PNG_FORMAT_RGBA;
  Bytes pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return {};
  if (width != nullptr) *width = image.width;
  return pixels;
}

// The same picture: every alpha equal, and every colour where the alpha is not 0.
::testing::AssertionResult SamePicture(const Bytes& standard, const Bytes& smallest) {
  if (standard.empty() || standard.size() != smallest.size()) return ::testing::AssertionFailure() << "sizes differ";
  for (size_t i = 0; i < standard.size(); i += 4) {
    const bool clear = standard[i + 3] == 0;
    if (smallest[i + 3] != standard[i + 3] ||
        (!clear &&
         (smallest[i] != standard[i] || smallest[i + 1] != standard[i + 1] || smallest[i + 2] != standard[i + 2]))) {
      return ::testing::AssertionFailure() << "pixel " << i / 4 << " differs";
    }
  }
  return ::testing::AssertionSuccess();
}

// A picture as the reduction hands it to the writer: its rows in the Standard file's sample order.
struct Picture {
  Bytes pixels;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pngType = 2;
  bool alpha = false;
  PaletteRecord palette;
  PaletteAlpha paletteAlpha = PaletteAlpha::kOpaque;
  int32_t fillColor = 0;

  PngWriteJob Job() const {
    PngWriteJob job;
    job.pixels = pixels.data();
    const int32_t bytes = pngType == 1 ? 1 : (pngType == 0 ? 1 : 3) + (alpha ? 1 : 0);
    job.rowBytes = width * bytes;
    job.width = width;
    job.height = height;
    job.pngType = pngType;
    job.hasAlphaPlane = alpha;
    job.alphaChannel = alpha;
    job.paletteAlpha = paletteAlpha;
    job.fillColor = fillColor;
    job.palette = &palette;
    return job;
  }
};

// An RGB(A) picture, 40 x 30 pixels unless said otherwise, whose colours follow each other in runs of three in
// the list's order, or scrambled pixel by pixel (so that no filter predicts them and a palette in the fewest bits
// pays).
Picture RgbPicture(const std::vector<Rgba8>& colors, bool alpha, bool scrambled = false, int32_t width = 40,
                   int32_t height = 30) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.alpha = alpha;
  uint32_t state = 1;
  size_t pick = 0;
  for (int32_t i = 0; i < picture.width * picture.height; ++i) {
    if (scrambled || i % 3 == 0) {
      state = state * 1103515245u + 12345u;
      pick = scrambled ? state >> 16 : static_cast<size_t>(i / 3);
    }
    const Rgba8& c = colors[pick % colors.size()];
    picture.pixels.insert(picture.pixels.end(), {c.r, c.g, c.b});
    if (alpha) picture.pixels.push_back(c.a);
  }
  return picture;
}

std::vector<Rgba8> Colors(int count, bool grey, uint8_t alpha = 255) {
  std::vector<Rgba8> colors;
  for (int i = 0; i < count; ++i) {
    const auto v = static_cast<uint8_t>(i * 255 / (count > 1 ? count - 1 : 1));
    colors.push_back(grey ? Rgba8{v, v, v, alpha}
                          : Rgba8{v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(i * 7), alpha});
  }
  return colors;
}

class SmallestTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return folder_.File(name); }

  // Writes both files and checks what every smallest file must be; hands back its chunks.
  std::vector<readback::Chunk> Both(const Picture& picture, const std::string& name, SmallestChoice* choice = nullptr) {
    const PngWriteJob job = picture.Job();
    const std::string standard = File(name + "-standard.png");
    const std::string smallest = File(name + "-smallest.png");
    const PngResult standardResult = EncodePngFile(platform::FromUtf8(standard), job, nullptr);
    SmallestChoice chosen;
    const PngResult smallestResult = EncodeSmallestPngFile(platform::FromUtf8(smallest), job, nullptr, &chosen);
    if (choice != nullptr) *choice = chosen;
    EXPECT_EQ(standardResult.status, PngStatus::Ok) << name;
    EXPECT_EQ(smallestResult.status, PngStatus::Ok) << name;
    const Bytes bytes = readback::FileBytes(smallest);
    EXPECT_EQ(static_cast<size_t>(smallestResult.size), bytes.size()) << name;
    EXPECT_LE(smallestResult.size, standardResult.size)
        << name << ": type " << int(chosen.layout.colorType) << " depth " << chosen.layout.bitDepth << " strategy "
        << int(chosen.strategy);
    EXPECT_TRUE(SamePicture(DecodeRgba(standard), DecodeRgba(smallest))) << name;
    EXPECT_EQ(readback::PngcheckComplaints({smallest}), "") << name;
    readback::ChunkList list = readback::ChunksOf(bytes);
    EXPECT_EQ(list.problem, "") << name;
    return list.chunks;
  }

  TempFolder folder_;
};

TEST_F(SmallestTest, ColourTypeAndBitDepthAreTheFewestThatHoldThePixels) {
  struct Case {
    const char* name;
    Picture picture;
    int colorType;
    int bitDepth;
    int paletteEntries;  // -1: no PLTE
  };
  const Case cases[] = {
      {"two-colours", RgbPicture(Colors(2, false), false, true, 160, 120), 3, 1, 2},
      {"three-colours", RgbPicture(Colors(3, false), false, true, 160, 120), 3, 2, 3},
      {"four-colours", RgbPicture(Colors(4, false), false, true, 160, 120), 3, 2, 4},
      {"sixteen-colours", RgbPicture(Colors(16, false), false, true, 160, 120), 3, 4, 16},
      {"seventeen-colours", RgbPicture(Colors(17, false), false, true, 160, 120), 3, 8, 17},
      {"256-colours", RgbPicture(Colors(256, false), false, true, 160, 120), 3, 8, 256},
      {"opaque-alpha-dropped", RgbPicture(Colors(300, false), true), 2, 8, -1},
      {"black-and-white", RgbPicture(Colors(2, true), false), 0, 1, -1},
      {"four-greys", RgbPicture(Colors(4, true), false), 0, 2, -1},
      {"sixteen-greys", RgbPicture(Colors(16, true), false), 0, 4, -1},
  };
  for (const Case& c : cases) {
    SmallestChoice choice;
    const auto chunks = Both(c.picture, c.name, &choice);
    const readback::Header header = readback::HeaderOf(chunks);
    EXPECT_EQ(header.colorType, c.colorType) << c.name;
    EXPECT_EQ(header.bitDepth, c.bitDepth) << c.name;
    const Bytes* plte = readback::FindChunk(chunks, "PLTE");
    EXPECT_EQ(plte == nullptr ? -1 : static_cast<int>(plte->size() / 3), c.paletteEntries) << c.name;
    EXPECT_EQ(readback::FindChunk(chunks, "tRNS"), nullptr) << c.name;
  }
}

TEST_F(SmallestTest, TransparentEntriesComeFirstAndFullyTransparentColoursAreOne) {
  // Three opaque colours and two fully transparent ones of different colours, and one half transparent.
  std::vector<Rgba8> colors = Colors(3, false);
  colors.push_back({10, 20, 30, 0});
  colors.push_back({200, 100, 50, 0});
  colors.push_back({90, 90, 200, 128});
  const auto chunks = Both(RgbPicture(colors, true), "transparent");
  const readback::Header header = readback::HeaderOf(chunks);
  EXPECT_EQ(header.colorType, 3);
  EXPECT_EQ(header.bitDepth, 4);  // five colours: the two clear ones are one
  const Bytes* plte = readback::FindChunk(chunks, "PLTE");
  const Bytes* trns = readback::FindChunk(chunks, "tRNS");
  ASSERT_NE(plte, nullptr);
  ASSERT_NE(trns, nullptr);
  EXPECT_EQ(plte->size(), 15u);
  ASSERT_EQ(trns->size(), 2u);  // only as long as the last entry that is not opaque
  EXPECT_NE((*trns)[0], 255);
  EXPECT_NE((*trns)[1], 255);
}

TEST_F(SmallestTest, APaletteKeepsOnlyTheEntriesInUseAndStatesTheFillWhereAnEntryHasIt) {
  Picture picture;
  picture.pngType = 1;
  picture.width = 33;
  picture.height = 21;
  picture.palette.count = 200;
  for (int i = 0; i < 200; ++i) {
    picture.palette.entries[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3), 77, 255, 0};
  }
  picture.fillColor = 0x4D << 16 | (40 * 3 % 256) << 8 | 40;  // entry 40's colour
  for (int32_t i = 0; i < picture.width * picture.height; ++i) picture.pixels.push_back(i % 5 == 0 ? 40 : 7 + i % 3);
  const auto chunks = Both(picture, "indexed");
  const Bytes* plte = readback::FindChunk(chunks, "PLTE");
  ASSERT_NE(plte, nullptr);
  EXPECT_EQ(plte->size(), 12u);  // 40, 7, 8 and 9
  const Bytes* background = readback::FindChunk(chunks, "bKGD");
  ASSERT_NE(background, nullptr);
  ASSERT_EQ(background->size(), 1u);
  EXPECT_EQ((*plte)[3 * (*background)[0]], 40);  // the index of the entry of the fill's colour

  picture.fillColor = 0x00FFFFFF;  // a colour no entry has: no background
  EXPECT_EQ(readback::FindChunk(Both(picture, "indexed-other-fill"), "bKGD"), nullptr);
}

TEST_F(SmallestTest, GrayWithAlphaAndRgbaKeepTheirAlphaAndMayChangeOnlyClearColours) {
  Picture gray;
  gray.pngType = 0;
  gray.alpha = true;
  gray.width = 50;
  gray.height = 40;
  for (int32_t i = 0; i < gray.width * gray.height; ++i) {
    gray.pixels.push_back(static_cast<uint8_t>(i * 7));
    gray.pixels.push_back(static_cast<uint8_t>(i % 11 == 0 ? 0 : (i % 13 == 0 ? 255 : i)));
  }
  Both(gray, "gray-alpha");
  std::vector<Rgba8> colors;
  for (int i = 0; i < 400; ++i) {
    colors.push_back({static_cast<uint8_t>(i / 2), static_cast<uint8_t>(i * 5), static_cast<uint8_t>(i * 11),
                      static_cast<uint8_t>(i % 3 == 0 ? 0 : 1 + i % 200)});
  }
  const auto chunks = Both(RgbPicture(colors, true), "rgba");
  EXPECT_EQ(readback::HeaderOf(chunks).colorType, 6);
}

TEST_F(SmallestTest, AStopAtAnyPointLeavesNoFile) {
  const Picture picture = RgbPicture(Colors(300, false), true);
  const PngWriteJob job = picture.Job();
  // Where the writer's half of the bar stands when the stop comes: its first report, during the trials, during the
  // deflate, and its very last report, once the whole file is known.
  for (const double stopFrom : {0.0, 0.2, 0.6, 1.0}) {
    const std::string path = File("stopped-" + std::to_string(stopFrom) + ".png");
    bool stopped = false;
    const PngResult result = EncodeSmallestPngFile(platform::FromUtf8(path), job, [&](double done, double total) {
      stopped = stopped || (done - total / 2) / (total / 2) >= stopFrom;
      return !stopped;
    });
    EXPECT_TRUE(stopped) << stopFrom;
    EXPECT_EQ(result.status, PngStatus::Aborted) << stopFrom;
    EXPECT_FALSE(std::ifstream(path).good()) << stopFrom;
  }
}

}  // namespace
