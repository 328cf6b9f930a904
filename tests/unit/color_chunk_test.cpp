// What the files say of their colours when the host hands the document's profile: profiles from Debian's
// colord-data read for their colour space, their name and whether they are sRGB; each file type's chunk; and the
// Standard and the Smallest files read back (chunks, the profile decompressed by zlib, pngcheck).
#include "png/color_chunk.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "png/icc_profile.h"
#include "png/png_writer.h"
#include "records/document_info.h"
#include "testhost/tests/temp_folder.h"
#include "tests/e2e/png_readback.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ProfileFile(const std::string& name) {
  std::ifstream file("/usr/share/color/icc/colord/" + name, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// A small gray profile made here: a header, a description and a gamma curve.
Bytes GrayProfile() {
  const std::string text = "Gray  Gamma\t2.2 ";
  Bytes profile(128 + 4 + 2 * 12, 0);
  const size_t desc = profile.size();
  Bytes descTag = {'d', 'e', 's', 'c', 0, 0, 0, 0};
  descTag.resize(12, 0);
  Put32(descTag, 8, static_cast<uint32_t>(text.size() + 1));
  descTag.insert(descTag.end(), text.begin(), text.end());
  descTag.push_back(0);
  while (descTag.size() % 4 != 0) descTag.push_back(0);
  profile.insert(profile.end(), descTag.begin(), descTag.end());
  const size_t curve = profile.size();
  const Bytes curveTag = {'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0, 0, 1, 2, 51, 0, 0};
  profile.insert(profile.end(), curveTag.begin(), curveTag.end());
  Put32(profile, 0, static_cast<uint32_t>(profile.size()));
  const uint8_t space[] = {'G', 'R', 'A', 'Y', 'X', 'Y', 'Z', ' '};
  std::copy(std::begin(space), std::end(space), profile.begin() + 16);
  Put32(profile, 128, 2);
  const uint8_t descSig[] = {'d', 'e', 's', 'c'};
  std::copy(std::begin(descSig), std::end(descSig), profile.begin() + 132);
  Put32(profile, 136, static_cast<uint32_t>(desc));
  Put32(profile, 140, static_cast<uint32_t>(descTag.size()));
  const uint8_t curveSig[] = {'k', 'T', 'R', 'C'};
  std::copy(std::begin(curveSig), std::end(curveSig), profile.begin() + 144);
  Put32(profile, 148, static_cast<uint32_t>(curve));
  Put32(profile, 152, static_cast<uint32_t>(curveTag.size()));
  return profile;
}

IccProfileFacts FactsOf(const Bytes& profile) { return ReadIccProfileFacts(profile.data(), profile.size()); }

TEST(IccProfileFacts, TellSrgbByItsContentsAndReadSpaceAndName) {
  const Bytes srgb = ProfileFile("sRGB.icc");
  const Bytes adobe = ProfileFile("AdobeRGB1998.icc");
  const Bytes prophoto = ProfileFile("ProPhotoRGB.icc");
  const Bytes rec709 = ProfileFile("Rec709.icc");  // sRGB's primaries, another tone curve
  ASSERT_FALSE(srgb.empty() || adobe.empty() || prophoto.empty() || rec709.empty()) << "colord-data is missing";
  EXPECT_TRUE(FactsOf(srgb).srgb);
  EXPECT_EQ(FactsOf(srgb).space, IccColorSpace::kRgb);
  for (const Bytes* other : {&adobe, &prophoto, &rec709}) {
    const IccProfileFacts facts = FactsOf(*other);
    EXPECT_TRUE(facts.valid);
    EXPECT_EQ(facts.space, IccColorSpace::kRgb);
    EXPECT_FALSE(facts.srgb) << facts.description;
    EXPECT_FALSE(facts.description.empty());
  }
  // Renamed, sRGB is still sRGB: its name is only a name.
  EXPECT_NE(FactsOf(srgb).description.find("sRGB"), std::string::npos) << FactsOf(srgb).description;
  Bytes renamed = srgb;
  const uint8_t name[] = {0, 's', 0, 'R', 0, 'G', 0, 'B'};  // the description, UTF-16
  const auto at = std::search(renamed.begin(), renamed.end(), std::begin(name), std::end(name));
  ASSERT_NE(at, renamed.end());
  at[1] = 'x';
  EXPECT_EQ(FactsOf(renamed).description.find("sRGB"), std::string::npos);
  EXPECT_TRUE(FactsOf(renamed).srgb);

  const IccProfileFacts gray = FactsOf(GrayProfile());
  EXPECT_TRUE(gray.valid);
  EXPECT_EQ(gray.space, IccColorSpace::kGray);
  EXPECT_EQ(IccpKeyword(gray), "Gray Gamma 2.2");  // spaces and the tab made single, none at the end

  // Cut short, or claiming more than it has: no profile at all.
  EXPECT_FALSE(FactsOf(Bytes(adobe.begin(), adobe.begin() + 100)).valid);
  Bytes claims = adobe;
  Put32(claims, 0, static_cast<uint32_t>(adobe.size() + 1));
  EXPECT_FALSE(FactsOf(claims).valid);
  Bytes tags = adobe;
  Put32(tags, 128, 0x10000000);
  EXPECT_FALSE(FactsOf(tags).valid);

  IccProfileFacts unnamed;
  EXPECT_EQ(IccpKeyword(unnamed), "ICC profile");
  unnamed.description = std::string(100, 'x');
  EXPECT_EQ(IccpKeyword(unnamed).size(), 79u);
}

TEST(ColorChunk, AProfileGoesWhereItDescribesTheSamplesAndSrgbIsNamed) {
  IccProfileFacts rgb;
  rgb.valid = true;
  rgb.space = IccColorSpace::kRgb;
  IccProfileFacts gray = rgb;
  gray.space = IccColorSpace::kGray;
  IccProfileFacts srgb = rgb;
  srgb.srgb = true;
  IccProfileFacts cmyk = rgb;
  cmyk.space = IccColorSpace::kOther;
  const int32_t kGrayscale = 0, kPalette = 1, kRgb = 2;
  for (const int32_t type : {kPalette, kRgb}) {
    EXPECT_EQ(ColorChunkFor(type, rgb), ColorChunk::kIccp);
    EXPECT_EQ(ColorChunkFor(type, gray), ColorChunk::kNone);
    EXPECT_EQ(ColorChunkFor(type, srgb), ColorChunk::kSrgb);
    EXPECT_EQ(ColorChunkFor(type, cmyk), ColorChunk::kNone);
  }
  EXPECT_EQ(ColorChunkFor(kGrayscale, gray), ColorChunk::kIccp);
  EXPECT_EQ(ColorChunkFor(kGrayscale, rgb), ColorChunk::kNone);
  EXPECT_EQ(ColorChunkFor(kGrayscale, srgb), ColorChunk::kSrgb);
  EXPECT_EQ(ColorChunkFor(kRgb, IccProfileFacts{}), ColorChunk::kNone);
}

Bytes Inflated(const Bytes& stream) {
  Bytes out(1 << 20);
  uLongf size = static_cast<uLongf>(out.size());
  if (uncompress(out.data(), &size, stream.data(), static_cast<uLong>(stream.size())) != Z_OK) return {};
  out.resize(size);
  return out;
}

class ColorChunkFiles : public testing::Test {
 protected:
  void TearDown() override { DocumentInfo = DocumentInfoRecord{}; }

  // An RGB image of four gray and two coloured pixels (or all gray), saved as `type` with the profile handed.
  std::vector<readback::Chunk> Save(const Bytes& profile, int32_t type, bool smallest, bool allGray,
                                    const std::string& name) {
    DocumentInfo.iccProfile = profile;
    image_ = WholeImageRecord{};
    image_._WholeWidth = 3;
    image_._WholeHeight = 2;
    image_._WholePlanesIn = 3;
    image_._WholeMode = kWholeRgb;
    SaveOptionsRecord options;
    options.pngType = static_cast<int8_t>(type);
    options.compression = smallest ? kSmallestCompression : kStandardCompression;
    options.metadata = metadata_ ? 1 : 0;
    palette_ = PaletteRecord{};
    palette_.count = 4;
    for (int i = 0; i < 4; ++i) palette_.entries[i] = PaletteEntry{uint8_t(60 * i), uint8_t(60 * i), 40, 255, 0};
    const int32_t bytes = type == 2 ? 3 : 1;
    pixels_.assign(static_cast<size_t>(3 * 2 * bytes), 0);
    for (size_t i = 0; i < pixels_.size(); ++i) {
      pixels_[i] = type == 1 ? static_cast<uint8_t>(i % 4) : static_cast<uint8_t>(allGray ? 90 : 30 * i);
    }
    if (type == 2 && allGray) {
      for (size_t i = 0; i < pixels_.size(); i += 3) pixels_[i + 1] = pixels_[i + 2] = pixels_[i];
    }
    ReducedImageRecord reduced;
    reduced.pixels = pixels_.data();
    reduced.rowBytes = 3 * bytes;
    reduced.bytesPerPixel = bytes;
    const PngWriteJob job = PngWriteJobFor(image_, options, palette_, reduced);
    const std::string path = folder_.File(name);
    const PngResult result = EncodePngFile(platform::FromUtf8(path), job, {});
    EXPECT_EQ(result.status, PngStatus::Ok) << name;
    EXPECT_EQ(readback::PngcheckComplaints({path}), "") << name;
    EXPECT_EQ(readback::Decode(path).error, "") << name;
    const readback::ChunkList list = readback::ChunksOf(readback::FileBytes(path));
    EXPECT_EQ(list.problem, "") << name;
    return list.chunks;
  }

  static const readback::Chunk* Find(const std::vector<readback::Chunk>& chunks, const std::string& type) {
    for (const readback::Chunk& chunk : chunks) {
      if (chunk.type == type) return &chunk;
    }
    return nullptr;
  }

  bool metadata_ = false;
  TempFolder folder_;
  WholeImageRecord image_;
  PaletteRecord palette_;
  Bytes pixels_;
};

TEST_F(ColorChunkFiles, CarryTheProfileSrgbOrNothingInStandardAndSmallestFiles) {
  const Bytes adobe = ProfileFile("AdobeRGB1998.icc");
  const Bytes srgb = ProfileFile("sRGB.icc");
  ASSERT_FALSE(adobe.empty() || srgb.empty()) << "colord-data is missing";
  const std::string adobeName = IccpKeyword(FactsOf(adobe));
  for (const bool smallest : {false, true}) {
    SCOPED_TRACE(smallest ? "Smallest" : "Standard");
    for (const int32_t type : {1, 2}) {
      const std::string name = std::to_string(type) + (smallest ? "s" : "") + ".png";
      const std::vector<readback::Chunk> chunks = Save(adobe, type, smallest, false, "adobe" + name);
      const readback::Chunk* iccp = Find(chunks, "iCCP");
      ASSERT_NE(iccp, nullptr) << type;
      EXPECT_EQ(Find(chunks, "sRGB"), nullptr);
      EXPECT_EQ(Find(chunks, "gAMA"), nullptr);
      EXPECT_EQ(Find(chunks, "cHRM"), nullptr);
      EXPECT_EQ(chunks[1].type, "iCCP");  // straight after the header, before PLTE
      const size_t end = std::string(iccp->data.begin(), iccp->data.end()).find('\0');
      ASSERT_NE(end, std::string::npos);
      EXPECT_EQ(std::string(iccp->data.begin(), iccp->data.begin() + end), adobeName);
      EXPECT_EQ(iccp->data[end + 1], 0);  // zlib
      EXPECT_EQ(Inflated(Bytes(iccp->data.begin() + end + 2, iccp->data.end())), adobe);

      const std::vector<readback::Chunk> named = Save(srgb, type, smallest, false, "srgb" + name);
      ASSERT_NE(Find(named, "sRGB"), nullptr);
      EXPECT_EQ(Find(named, "sRGB")->data, Bytes{0});
      EXPECT_EQ(Find(named, "iCCP"), nullptr);
      EXPECT_EQ(Find(named, "gAMA"), nullptr);
    }
    // A Grayscale file of an RGB document: an RGB profile cannot describe it, sRGB can.
    const std::string name = smallest ? "gs.png" : "g.png";
    const std::vector<readback::Chunk> gray = Save(adobe, 0, smallest, false, "adobe" + name);
    EXPECT_EQ(Find(gray, "iCCP"), nullptr);
    EXPECT_EQ(Find(gray, "sRGB"), nullptr);
    EXPECT_NE(Find(Save(srgb, 0, smallest, false, "srgb" + name), "sRGB"), nullptr);
    // No profile: no chunk about colours.
    const std::vector<readback::Chunk> none = Save({}, 2, smallest, false, "none" + name);
    EXPECT_EQ(Find(none, "iCCP"), nullptr);
    EXPECT_EQ(Find(none, "sRGB"), nullptr);
  }
  // An RGB file of gray pixels keeps a colour type its RGB profile describes, smallest or not.
  const std::vector<readback::Chunk> grayPixels = Save(adobe, 2, true, true, "graypixels.png");
  ASSERT_NE(Find(grayPixels, "iCCP"), nullptr);
  const uint8_t colorType = grayPixels[0].data[9];
  EXPECT_TRUE(colorType == 2 || colorType == 3 || colorType == 6) << int{colorType};
}

// Metadata on: the document's resolution in pHYs (pixels per metre) and its XMP in an uncompressed iTXt, both
// writers alike; off, or without them, neither.
TEST_F(ColorChunkFiles, MetadataCarriesTheResolutionAndTheXmpOnlyWhenOn) {
  EXPECT_EQ(PixelsPerMetre(72 << 16), 2835u);  // 72 dpi
  EXPECT_EQ(PixelsPerMetre(300 << 16), 11811u);
  EXPECT_EQ(PixelsPerMetre((96 << 16) + (1 << 15)), 3799u);  // 96.5 dpi
  EXPECT_EQ(PixelsPerMetre(0), 0u);
  const std::string xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF/></x:xmpmeta>";
  for (const bool smallest : {false, true}) {
    SCOPED_TRACE(smallest ? "Smallest" : "Standard");
    const std::string suffix = smallest ? "s.png" : ".png";
    DocumentInfo.horizontalResolution = 300 << 16;
    DocumentInfo.verticalResolution = 150 << 16;
    DocumentInfo.xmp = xmp;
    metadata_ = true;
    const std::vector<readback::Chunk> on = Save({}, 2, smallest, false, "meta" + suffix);
    const readback::Chunk* resolution = Find(on, "pHYs");
    ASSERT_NE(resolution, nullptr);
    EXPECT_EQ(resolution->data, (Bytes{0, 0, 0x2E, 0x23, 0, 0, 0x17, 0x12, 1}));  // 11811 and 5906 per metre
    const readback::Chunk* text = Find(on, "iTXt");
    ASSERT_NE(text, nullptr);
    Bytes expected(std::begin(kXmpKeyword), std::end(kXmpKeyword));
    expected.insert(expected.end(), {0, 0, 0, 0});
    expected.insert(expected.end(), xmp.begin(), xmp.end());
    EXPECT_EQ(text->data, expected);

    DocumentInfo.xmp.clear();
    DocumentInfo.horizontalResolution = 0;
    const std::vector<readback::Chunk> unknown = Save({}, 1, smallest, false, "unknown" + suffix);
    EXPECT_EQ(Find(unknown, "pHYs"), nullptr);
    EXPECT_EQ(Find(unknown, "iTXt"), nullptr);

    DocumentInfo.horizontalResolution = 300 << 16;
    DocumentInfo.xmp = xmp;
    metadata_ = false;
    const std::vector<readback::Chunk> off = Save({}, 2, smallest, false, "off" + suffix);
    EXPECT_EQ(Find(off, "pHYs"), nullptr);
    EXPECT_EQ(Find(off, "iTXt"), nullptr);
  }
}

}  // namespace
