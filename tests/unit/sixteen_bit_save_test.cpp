// 16-bit documents through whole saves: the host's samples made 8-bit and 16-bit exactly, both ways a host may
// name the modes, 16-bit files read back by libpng as they were stored, and with 16 Bits/Channel off (or a
// palette) the very file of the document's 8-bit image.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/plugin_main.h"
#include "records/sample_depth.h"
#include "tests/e2e/png_readback.h"
#include "tests/support/plugin_host_fixture.h"

namespace {

using Samples = std::vector<uint16_t>;

TEST(SampleDepth, HostSamplesBecomeEightAndSixteenBitsExactly) {
  struct Expected {
    uint16_t host;
    uint8_t eight;
    uint16_t sixteen;
  };
  // Worked out by hand from v8 = (h x 255 + 16384) / 32768 and v = (h x 65535 + 16384) / 32768.
  for (const Expected e : {Expected{0, 0, 0}, Expected{1, 0, 2}, Expected{16383, 127, 32766},
                           Expected{16384, 128, 32768}, Expected{32767, 255, 65533}, Expected{32768, 255, 65535}}) {
    EXPECT_EQ(EightBitSample(e.host), e.eight) << e.host;
    EXPECT_EQ(FileSample16(e.host), e.sixteen) << e.host;
  }
  // A value beyond the host's range stays within the results' own.
  EXPECT_EQ(EightBitSample(65535), 255);
  EXPECT_EQ(FileSample16(65535), 65535);
}

// A 16-bit document from whole planes of host samples (0 to 32768).
HostImage Document16(int16_t mode, int32_t width, int32_t height, const std::vector<Samples>& planes) {
  HostImage image;
  image.mode = mode;
  image.depth = 16;
  image.width = width;
  image.height = height;
  image.planes = static_cast<int16_t>(planes.size());
  for (const Samples& plane : planes) image.planar16.insert(image.planar16.end(), plane.begin(), plane.end());
  return image;
}

// The document as the plug-in sees it at 8 bits: what an 8-bit document of the same picture would be.
HostImage EightBitImageOf(const HostImage& document) {
  HostImage image = document;
  image.mode = document.mode == kModeGray16 ? kModeGrayScale : document.mode == kModeRGB48 ? kModeRGB : document.mode;
  image.depth = 8;
  image.planar16.clear();
  for (const uint16_t sample : document.planar16) image.planar.push_back(EightBitSample(sample));
  return image;
}

// Interleaved file samples of the document's planes, each made 16-bit.
Samples FileSamplesOf(const HostImage& document) {
  Samples samples;
  const size_t plane = static_cast<size_t>(document.width) * document.height;
  for (size_t i = 0; i < plane; ++i) {
    for (int p = 0; p < document.planes; ++p) samples.push_back(FileSample16(document.planar16[p * plane + i]));
  }
  return samples;
}

// 3 x 2 RGBA: colours at the edges of the conversions' steps, and alpha from clear to opaque.
HostImage RgbaDocument(int16_t mode) {
  return Document16(mode, 3, 2,
                    {{0, 1, 16383, 16384, 32767, 32768},
                     {32768, 12345, 2, 30000, 100, 7},
                     {500, 32768, 0, 16385, 8191, 24575},
                     {32768, 0, 1, 16384, 32767, 32768}});
}

HostImage GrayAlphaDocument(int16_t mode) {
  return Document16(mode, 3, 2, {{0, 1, 16383, 16384, 32767, 32768}, {32768, 16384, 0, 1, 32767, 20000}});
}

class SixteenBitSaveTest : public PluginHostTest {
 protected:
  // A whole save of the document into `name` with these scripting parameters; the host's result.
  int16_t Save(const HostImage& document, const DescriptorItems& parameters, const std::string& name) {
    FakeHost host(document);
    if (!parameters.empty()) host.SetParameters(parameters);
    if (!host.SetDestination(File(name))) return -1;
    const int16_t result = host.Save(PluginMain);
    host.CloseDestination();
    return result;
  }
};

TEST_F(SixteenBitSaveTest, RgbaAndGrayAlphaFilesKeepEverySampleAtSixteenBitsWhicheverWayTheModeIsNamed) {
  struct Case {
    HostImage document;
    int32_t type;
    int colorType;
  };
  for (const Case& c : {Case{RgbaDocument(kModeRGB), 2, 6}, Case{RgbaDocument(kModeRGB48), 2, 6},
                        Case{GrayAlphaDocument(kModeGrayScale), 0, 4}, Case{GrayAlphaDocument(kModeGray16), 0, 4}}) {
    const std::string name = "mode" + std::to_string(c.document.mode) + ".png";
    ASSERT_EQ(Save(c.document, {{FourCharCode("Type"), c.type}, {FourCharCode("Bt16"), 1}}, name), 0) << name;
    const readback::RawSamples raw = readback::DecodeRaw(File(name));
    ASSERT_EQ(raw.error, "") << name;
    EXPECT_EQ(raw.bitDepth, 16) << name;
    EXPECT_EQ(raw.colorType, c.colorType) << name;
    EXPECT_EQ(raw.samples, FileSamplesOf(c.document)) << name;
    EXPECT_EQ(readback::PngcheckComplaints({File(name)}), "") << name;
    // The size line counts the document's two bytes per sample.
    ASSERT_FALSE(DialogSeen.statusLines.empty());
    const std::string original = c.type == 2 ? "48 Bytes" : "24 Bytes";
    EXPECT_NE(DialogSeen.statusLines.back().find("(Original/Compressed): " + original + " / "), std::string::npos)
        << DialogSeen.statusLines.back();
  }
  // Named either way, the document makes the same file.
  EXPECT_EQ(Contents(File("mode3.png")), Contents(File("mode11.png")));
  EXPECT_EQ(Contents(File("mode1.png")), Contents(File("mode10.png")));
}

TEST_F(SixteenBitSaveTest, TransparencyTheFileDoesNotKeepIsLaidOverTheFillAtSixteenBits) {
  // Fill 0x3C7AD2: red 210, green 122, blue 60, each stated and laid over as x 257.
  const DescriptorItems parameters{{FourCharCode("Type"), 2},
                                   {FourCharCode("Bt16"), 1},
                                   {FourCharCode("UAlC"), 0},
                                   {FourCharCode("FlCl"), 0x3C7AD2}};
  ASSERT_EQ(Save(RgbaDocument(kModeRGB), parameters, "over.png"), 0);
  const readback::RawSamples raw = readback::DecodeRaw(File("over.png"));
  ASSERT_EQ(raw.error, "");
  EXPECT_EQ(raw.colorType, 2);
  ASSERT_EQ(raw.samples.size(), 18u);
  const HostImage document = RgbaDocument(kModeRGB);
  const Samples file = FileSamplesOf(document);
  // Pixel 0 is opaque: its colour as it is. Pixel 1 is clear: the fill's colour exactly.
  EXPECT_EQ(Samples(raw.samples.begin(), raw.samples.begin() + 3), Samples(file.begin(), file.begin() + 3));
  EXPECT_EQ(Samples(raw.samples.begin() + 3, raw.samples.begin() + 6), (Samples{210 * 257, 122 * 257, 60 * 257}));
  const std::vector<readback::Chunk> chunks = readback::ChunksOf(readback::FileBytes(File("over.png"))).chunks;
  const std::vector<uint8_t>* background = readback::FindChunk(chunks, "bKGD");
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(*background, (std::vector<uint8_t>{210, 210, 122, 122, 60, 60}));
}

TEST_F(SixteenBitSaveTest, OffOrAsAPaletteTheFileIsTheEightBitImagesOwn) {
  struct Case {
    HostImage document;
    DescriptorItems parameters;
  };
  // Each save keeps its options in the settings file for the next: every case says all it relies on.
  const std::vector<Case> cases = {
      {RgbaDocument(kModeRGB48), {{FourCharCode("Type"), 2}, {FourCharCode("Bt16"), 0}}},
      {RgbaDocument(kModeRGB), {{FourCharCode("Type"), 0}, {FourCharCode("UAlC"), 0}, {FourCharCode("Bt16"), 0}}},
      {RgbaDocument(kModeRGB), {{FourCharCode("Type"), 1}, {FourCharCode("NPal"), 4}, {FourCharCode("Bt16"), 1}}},
      {GrayAlphaDocument(kModeGray16), {{FourCharCode("Type"), 1}, {FourCharCode("Bt16"), 1}}},
      {GrayAlphaDocument(kModeGrayScale),
       {{FourCharCode("Type"), 2}, {FourCharCode("Cmpr"), 1}, {FourCharCode("Bt16"), 0}}},
  };
  int run = 0;
  for (const Case& c : cases) {
    const std::string deep = "deep" + std::to_string(run) + ".png";
    const std::string eight = "eight" + std::to_string(run++) + ".png";
    ASSERT_EQ(Save(c.document, c.parameters, deep), 0) << deep;
    ASSERT_EQ(Save(EightBitImageOf(c.document), c.parameters, eight), 0) << eight;
    const std::string file = Contents(File(deep));
    EXPECT_FALSE(file.empty()) << deep;
    EXPECT_EQ(file, Contents(File(eight))) << deep;
  }
}

TEST_F(SixteenBitSaveTest, TheSmallestSixteenBitFileHoldsTheStandardOnesSamples) {
  // Smooth ramps with a clear corner, large enough for the trials' own file to beat the Standard one.
  constexpr int32_t kSide = 64;
  std::vector<Samples> planes(4);
  for (int32_t y = 0; y < kSide; ++y) {
    for (int32_t x = 0; x < kSide; ++x) {
      planes[0].push_back(static_cast<uint16_t>(x * 512));
      planes[1].push_back(static_cast<uint16_t>(y * 512));
      planes[2].push_back(static_cast<uint16_t>((x + y) * 256));
      planes[3].push_back(static_cast<uint16_t>(x < 8 && y < 8 ? 0 : 32768));
    }
  }
  const HostImage document = Document16(kModeRGB, kSide, kSide, planes);
  ASSERT_EQ(Save(document, {{FourCharCode("Bt16"), 1}}, "standard.png"), 0);
  ASSERT_EQ(Save(document, {{FourCharCode("Bt16"), 1}, {FourCharCode("Cmpr"), 1}}, "smallest.png"), 0);
  const readback::RawSamples standard = readback::DecodeRaw(File("standard.png"));
  const readback::RawSamples smallest = readback::DecodeRaw(File("smallest.png"));
  ASSERT_EQ(smallest.error, "");
  EXPECT_EQ(smallest.bitDepth, 16);
  EXPECT_EQ(smallest.colorType, standard.colorType);
  EXPECT_EQ(smallest.samples, standard.samples);
  EXPECT_LT(Contents(File("smallest.png")).size(), Contents(File("standard.png")).size());
  EXPECT_EQ(readback::PngcheckComplaints({File("smallest.png")}), "");
}

}  // namespace
