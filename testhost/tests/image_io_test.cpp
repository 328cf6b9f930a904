// The host's input reader: every PNG colour type and depth, and PAM, arrive as the planes a host would hold.
#include "testhost/image_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "host/host_abi.h"
#include "testhost/tests/png_sample.h"
#include "testhost/tests/temp_folder.h"

namespace {

// Plane p of the image, row by row.
std::vector<uint8_t> Plane(const HostImage& image, int plane) {
  const auto begin = image.planar.begin() + static_cast<std::ptrdiff_t>(plane * PlaneSize(image));
  return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(PlaneSize(image)));
}

class ImageIoTest : public ::testing::Test {
 protected:
  HostImage ReadPng(const PngSample& sample) {
    const std::string path = folder_.File("in.png");
    EXPECT_TRUE(WritePngSample(path, sample));
    std::string error;
    std::optional<HostImage> image = ReadImageFile(path, &error);
    EXPECT_TRUE(image.has_value()) << error;
    return image.value_or(HostImage{});
  }

  std::optional<HostImage> ReadBytes(const std::string& bytes, std::string* error) {
    const std::string path = folder_.File("in.bin");
    std::ofstream(path, std::ios::binary) << bytes;
    return ReadImageFile(path, error);
  }

  TempFolder folder_;
};

PngSample PaletteSample(std::vector<uint8_t> alphas) {
  PngSample sample;
  sample.width = 3;
  sample.height = 1;
  sample.colorType = PNG_COLOR_TYPE_PALETTE;
  sample.rows = {{0, 1, 2}};
  sample.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  sample.paletteAlpha = std::move(alphas);
  return sample;
}

TEST_F(ImageIoTest, RgbArrivesAsThreePlanesInRowOrder) {
  PngSample sample;
  sample.width = 2;
  sample.height = 2;
  sample.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
  const HostImage image = ReadPng(sample);
  EXPECT_EQ(image.mode, kModeRGB);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.planes, 3);
  EXPECT_EQ(image.depth, 8);
  EXPECT_EQ(Plane(image, 0), (std::vector<uint8_t>{1, 4, 7, 10}));
  EXPECT_EQ(Plane(image, 1), (std::vector<uint8_t>{2, 5, 8, 11}));
  EXPECT_EQ(Plane(image, 2), (std::vector<uint8_t>{3, 6, 9, 12}));
  EXPECT_EQ(image.transparentIndex, -1);
}

TEST_F(ImageIoTest, InterlacedRgbArrivesInRowOrder) {
  PngSample sample;
  sample.width = 3;
  sample.height = 3;
  sample.interlaced = true;
  for (uint8_t y = 0; y < 3; ++y) {
    sample.rows.push_back({});
    for (uint8_t x = 0; x < 3; ++x) sample.rows.back().insert(sample.rows.back().end(), {uint8_t(y * 3 + x), 0, 0});
  }
  const HostImage image = ReadPng(sample);
  EXPECT_EQ(Plane(image, 0), (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// Big-endian 16-bit samples, as a PNG row holds them.
std::vector<uint8_t> Row16(const std::vector<uint16_t>& samples) {
  std::vector<uint8_t> row;
  for (uint16_t sample : samples)
    row.insert(row.end(), {static_cast<uint8_t>(sample >> 8), static_cast<uint8_t>(sample)});
  return row;
}

// The file's samples, and what the host makes of each: (v x 32768 + 32767) / 65535, worked out by hand.
const std::vector<uint16_t> kFileSamples16 = {0, 1, 2, 32767, 32768, 65534, 65535};
const std::vector<uint16_t> kHostSamples16 = {0, 1, 1, 16384, 16384, 32767, 32768};

// The host samples of kFileSamples16 turned `by` places to the left.
std::vector<uint16_t> HostSamplesTurned(size_t by) {
  std::vector<uint16_t> turned = kHostSamples16;
  std::rotate(turned.begin(), turned.begin() + static_cast<std::ptrdiff_t>(by), turned.end());
  return turned;
}

std::vector<uint16_t> Plane16(const HostImage& image, int plane) {
  const auto begin = image.planar16.begin() + static_cast<std::ptrdiff_t>(plane * PlaneSize(image));
  return std::vector<uint16_t>(begin, begin + static_cast<std::ptrdiff_t>(PlaneSize(image)));
}

TEST_F(ImageIoTest, SixteenBitSamplesArriveAtDepthSixteenInTheHostsRange) {
  // RGBA: each channel holds every file sample, turned one place further than the channel before it.
  PngSample rgba;
  rgba.width = static_cast<uint32_t>(kFileSamples16.size());
  rgba.height = 1;
  rgba.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  rgba.bitDepth = 16;
  std::vector<uint16_t> pixels;
  for (size_t x = 0; x < kFileSamples16.size(); ++x) {
    for (size_t channel = 0; channel < 4; ++channel) pixels.push_back(kFileSamples16[(x + channel) % 7]);
  }
  rgba.rows = {Row16(pixels)};
  HostImage image = ReadPng(rgba);
  EXPECT_EQ(image.mode, kModeRGB);
  EXPECT_EQ(image.depth, 16);
  ASSERT_EQ(image.planes, 4);
  EXPECT_TRUE(image.planar.empty());
  ASSERT_EQ(image.planar16.size(), 4 * kFileSamples16.size());
  for (int plane = 0; plane < 4; ++plane) EXPECT_EQ(Plane16(image, plane), HostSamplesTurned(plane)) << plane;
  EXPECT_EQ(SampleAt(image, 3, 3, 0), 32768);  // alpha of the fourth pixel: file sample 65535

  // Gray with a tRNS key, interlaced: the key becomes a 16-bit alpha, 0 where the gray is 32768, else opaque.
  PngSample keyed;
  keyed.width = static_cast<uint32_t>(kFileSamples16.size());
  keyed.height = 1;
  keyed.colorType = PNG_COLOR_TYPE_GRAY;
  keyed.bitDepth = 16;
  keyed.interlaced = true;
  keyed.rows = {Row16(kFileSamples16)};
  keyed.colorKey = true;
  keyed.key.gray = 32768;
  image = ReadPng(keyed);
  EXPECT_EQ(image.mode, kModeGrayScale);
  EXPECT_EQ(image.depth, 16);
  ASSERT_EQ(image.planes, 2);
  EXPECT_TRUE(image.planar.empty());
  ASSERT_EQ(image.planar16.size(), 2 * kFileSamples16.size());
  EXPECT_EQ(Plane16(image, 0), kHostSamples16);
  EXPECT_EQ(Plane16(image, 1), (std::vector<uint16_t>{32768, 32768, 32768, 32768, 0, 32768, 32768}));
}

TEST_F(ImageIoTest, OneBitGrayIsWidenedToFullRange) {
  PngSample sample;
  sample.width = 8;
  sample.height = 1;
  sample.colorType = PNG_COLOR_TYPE_GRAY;
  sample.bitDepth = 1;
  sample.rows = {{0xA5}};  // 1010 0101
  const HostImage image = ReadPng(sample);
  EXPECT_EQ(image.mode, kModeGrayScale);
  EXPECT_EQ(image.planes, 1);
  EXPECT_EQ(image.planar, (std::vector<uint8_t>{255, 0, 255, 0, 0, 255, 0, 255}));
}

TEST_F(ImageIoTest, GrayWithAlphaAndGrayWithColorKeyBothGetAnAlphaPlane) {
  PngSample withAlpha;
  withAlpha.width = 2;
  withAlpha.height = 1;
  withAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  withAlpha.rows = {{9, 200, 8, 0}};
  HostImage image = ReadPng(withAlpha);
  EXPECT_EQ(image.mode, kModeGrayScale);
  ASSERT_EQ(image.planes, 2);
  EXPECT_EQ(image.planar, (std::vector<uint8_t>{9, 8, 200, 0}));

  PngSample keyed;
  keyed.width = 3;
  keyed.height = 1;
  keyed.colorType = PNG_COLOR_TYPE_GRAY;
  keyed.rows = {{5, 6, 5}};
  keyed.colorKey = true;
  keyed.key.gray = 6;
  image = ReadPng(keyed);
  ASSERT_EQ(image.planes, 2);
  EXPECT_EQ(image.planar, (std::vector<uint8_t>{5, 6, 5, 255, 0, 255}));
}

TEST_F(ImageIoTest, RgbWithColorKeyGetsAnAlphaPlane) {
  PngSample sample;
  sample.width = 2;
  sample.height = 1;
  sample.rows = {{1, 2, 3, 4, 5, 6}};
  sample.colorKey = true;
  sample.key.red = 4;
  sample.key.green = 5;
  sample.key.blue = 6;
  const HostImage image = ReadPng(sample);
  EXPECT_EQ(image.mode, kModeRGB);
  ASSERT_EQ(image.planes, 4);
  EXPECT_EQ(Plane(image, 3), (std::vector<uint8_t>{255, 0}));
}

TEST_F(ImageIoTest, PaletteWithoutTransparencyArrivesIndexed) {
  PngSample sample = PaletteSample({});
  sample.bitDepth = 2;
  sample.rows = {{0x24}};  // 00 10 01 00: indices 0, 2, 1
  const HostImage image = ReadPng(sample);
  EXPECT_EQ(image.mode, kModeIndexed);
  EXPECT_EQ(image.planes, 1);
  EXPECT_EQ(image.planar, (std::vector<uint8_t>{0, 2, 1}));
  EXPECT_EQ(image.transparentIndex, -1);
  EXPECT_EQ(image.red[1], 40);
  EXPECT_EQ(image.green[2], 80);
  EXPECT_EQ(image.blue[0], 30);
  EXPECT_EQ(image.red[3], 0);  // beyond the palette
}

TEST_F(ImageIoTest, PaletteWithOneClearEntryArrivesIndexedWithThatTransparentIndex) {
  HostImage image = ReadPng(PaletteSample({255, 0, 255}));
  EXPECT_EQ(image.mode, kModeIndexed);
  EXPECT_EQ(image.transparentIndex, 1);
  // A short tRNS leaves the entries after it opaque.
  image = ReadPng(PaletteSample({255, 255, 0}));
  EXPECT_EQ(image.mode, kModeIndexed);
  EXPECT_EQ(image.transparentIndex, 2);
  image = ReadPng(PaletteSample({0}));
  EXPECT_EQ(image.mode, kModeIndexed);
  EXPECT_EQ(image.transparentIndex, 0);
}

TEST_F(ImageIoTest, PaletteWithOtherTransparencyArrivesAsRgbWithAlpha) {
  for (const std::vector<uint8_t>& alphas :
       {std::vector<uint8_t>{255, 128, 255}, std::vector<uint8_t>{0, 0, 255}, std::vector<uint8_t>{255, 255, 255}}) {
    const HostImage image = ReadPng(PaletteSample(alphas));
    EXPECT_EQ(image.mode, kModeRGB);
    ASSERT_EQ(image.planes, 4);
    EXPECT_EQ(Plane(image, 0), (std::vector<uint8_t>{10, 40, 70}));
    EXPECT_EQ(Plane(image, 2), (std::vector<uint8_t>{30, 60, 90}));
    EXPECT_EQ(Plane(image, 3), alphas);
    EXPECT_EQ(image.transparentIndex, -1);
  }
}

TEST_F(ImageIoTest, PamCmykArrivesAsCmykPlanes) {
  std::string error;
  std::optional<HostImage> image = ReadBytes(
      "P7\n# a comment\nWIDTH 2\nHEIGHT 1\nDEPTH 5\nMAXVAL 255\nTUPLTYPE CMYK_ALPHA\nENDHDR\n"
      "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A",
      &error);
  ASSERT_TRUE(image.has_value()) << error;
  EXPECT_EQ(image->mode, kModeCMYK);
  EXPECT_EQ(image->planes, 5);
  EXPECT_EQ(image->planar, (std::vector<uint8_t>{1, 6, 2, 7, 3, 8, 4, 9, 5, 10}));

  image = ReadBytes("P7\nWIDTH 1\nHEIGHT 2\nDEPTH 1\nMAXVAL 255\nTUPLTYPE GRAYSCALE\nENDHDR\n\x11\x22", &error);
  ASSERT_TRUE(image.has_value()) << error;
  EXPECT_EQ(image->mode, kModeGrayScale);
  EXPECT_EQ(image->planar, (std::vector<uint8_t>{0x11, 0x22}));
}

PngSample TinyRgb() {
  PngSample sample;
  sample.width = 1;
  sample.height = 1;
  sample.rows = {{1, 2, 3}};
  return sample;
}

TEST_F(ImageIoTest, ProfileResolutionAndXmpArriveWithThePng) {
  PngSample sample = TinyRgb();
  sample.iccProfile = SmallRgbProfile(0x56584C31);
  sample.phys = true;
  sample.physX = 5906;  // 150.0124 ppi
  sample.physY = 2835;  // 72.0090 ppi
  sample.xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\xC3\xA9t\xC3\xA9</x:xmpmeta>";
  sample.xmpCompressed = true;
  sample.xmpAfterImage = true;
  const HostImage image = ReadPng(sample);
  EXPECT_EQ(image.iccProfile, sample.iccProfile);
  EXPECT_FALSE(image.declaresSrgb);
  // 5906 * 0.0254 * 65536 = 9831212.65 and 2835 * 0.0254 * 65536 = 4719181.82, rounded.
  EXPECT_EQ(image.horizontalResolution, 9831213);
  EXPECT_EQ(image.verticalResolution, 4719182);
  EXPECT_EQ(image.xmp, sample.xmp);
}

TEST_F(ImageIoTest, SrgbIsNotedAndAnUnknownUnitKeeps72Ppi) {
  PngSample sample = TinyRgb();
  sample.interlaced = true;
  sample.srgb = true;
  sample.phys = true;
  sample.physX = 5906;
  sample.physY = 5906;
  sample.physUnit = PNG_RESOLUTION_UNKNOWN;
  sample.xmp = "<x:xmpmeta/>";
  const HostImage image = ReadPng(sample);
  EXPECT_TRUE(image.iccProfile.empty());
  EXPECT_TRUE(image.declaresSrgb);
  EXPECT_EQ(image.horizontalResolution, 72 << 16);
  EXPECT_EQ(image.verticalResolution, 72 << 16);
  EXPECT_EQ(image.xmp, "<x:xmpmeta/>");

  const HostImage plain = ReadPng(TinyRgb());
  EXPECT_FALSE(plain.declaresSrgb);
  EXPECT_TRUE(plain.xmp.empty());
}

TEST_F(ImageIoTest, UnreadableInputsSayWhy) {
  std::string error;
  EXPECT_FALSE(ReadImageFile(folder_.File("missing.png"), &error).has_value());
  EXPECT_NE(error.find("cannot open"), std::string::npos);

  EXPECT_FALSE(ReadBytes("GIF89a....", &error).has_value());
  EXPECT_NE(error.find("not a PNG or PAM"), std::string::npos);

  EXPECT_FALSE(ReadBytes("P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 65535\nTUPLTYPE GRAYSCALE\nENDHDR\nab", &error));
  EXPECT_NE(error.find("MAXVAL"), std::string::npos);
  EXPECT_FALSE(ReadBytes("P7\nWIDTH 2\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\nabc", &error));
  EXPECT_NE(error.find("shorter"), std::string::npos);
  EXPECT_FALSE(ReadBytes("P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nTUPLTYPE CMYK\nENDHDR\nabcd", &error));
  EXPECT_NE(error.find("DEPTH"), std::string::npos);
  EXPECT_FALSE(ReadBytes("P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nTUPLTYPE LAB\nENDHDR\nabc", &error));
  EXPECT_NE(error.find("TUPLTYPE"), std::string::npos);

  // A PNG cut short inside its image data fails in libpng, which must come back as an error, not a crash.
  PngSample sample;
  sample.width = 64;
  sample.height = 64;
  sample.rows.assign(64, std::vector<uint8_t>(64 * 3, 7));
  for (size_t i = 0; i < sample.rows.size(); ++i) sample.rows[i][i] = static_cast<uint8_t>(i * 37);
  const std::string path = folder_.File("whole.png");
  ASSERT_TRUE(WritePngSample(path, sample));
  std::ifstream whole(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
  error.clear();
  EXPECT_FALSE(ReadBytes(bytes.substr(0, bytes.size() / 2), &error).has_value());
  EXPECT_FALSE(error.empty());
}

}  // namespace
