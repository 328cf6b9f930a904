// What a saved file says of transparency, read back with libpng: a key-colour file is clear exactly where the
// preview shows it clear, and an indexed image's transparent index is kept or filled as the type allows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/plugin_main.h"
#include "tests/e2e/png_readback.h"
#include "tests/support/plugin_host_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

class SaveTransparencyTest : public PluginHostTest {
 protected:
  // Saves the image with the given scripting parameters and decodes the file.
  readback::Decoded SaveAndDecode(const HostImage& image, const DescriptorItems& parameters) {
    FakeHost host(image);
    const std::string output = File("out.png");
    EXPECT_TRUE(host.SetDestination(output));
    host.SetParameters(parameters);
    EXPECT_EQ(host.Save(PluginMain), 0);
    host.CloseDestination();
    return readback::Decode(output);
  }
};

// Every alpha from `lowest` to 255 in turn, over changing colours.
HostImage AlphaSweep(int lowest) {
  const int32_t width = 64;
  const int32_t height = 8;
  std::vector<Bytes> planes(4, Bytes(width * height));
  for (int32_t i = 0; i < width * height; ++i) {
    planes[0][i] = static_cast<uint8_t>(i * 7);
    planes[1][i] = static_cast<uint8_t>(i * 13 + 50);
    planes[2][i] = static_cast<uint8_t>(255 - i * 3);
    planes[3][i] = static_cast<uint8_t>(lowest + i % (256 - lowest));
  }
  return PlanarImage(kModeRGB, width, height, planes);
}

TEST_F(SaveTransparencyTest, AKeyColourFileIsClearExactlyWhereTheSourceAlphaIsBelow127OrTheLowest) {
  for (const int lowest : {0, 140}) {
    const HostImage image = AlphaSweep(lowest);
    for (const int32_t dither : {0, 1, 2, 3}) {
      SCOPED_TRACE(testing::Message() << "lowest alpha " << lowest << ", dither " << dither);
      const readback::Decoded decoded = SaveAndDecode(image, {{FourCharCode("Type"), 1},
                                                              {FourCharCode("NPal"), 16},
                                                              {FourCharCode("UAlC"), 0},
                                                              {FourCharCode("UCCl"), 1},
                                                              {FourCharCode("UCDf"), 0},
                                                              {FourCharCode("Dthr"), dither}});
      ASSERT_EQ(decoded.error, "");
      ASSERT_EQ(decoded.channels, 1);
      // One clear entry, the key, the last; every other entry opaque.
      const size_t entries = decoded.colormap.size() / 4;
      ASSERT_GE(entries, 2u);
      for (size_t e = 0; e < entries; ++e) {
        EXPECT_EQ(decoded.colormap[e * 4 + 3], e + 1 == entries ? 0 : 255) << "entry " << e;
      }
      const Bytes& alphas = image.planar;
      const size_t plane = PlaneSize(image);
      for (size_t i = 0; i < decoded.pixels.size(); ++i) {
        const int source = alphas[3 * plane + i];
        const int saved = decoded.colormap[decoded.pixels[i] * 4 + 3];
        EXPECT_EQ(saved, source < 127 || source == lowest ? 0 : 255) << "pixel " << i << ", source alpha " << source;
      }
    }
  }
}

// A 4 x 2 indexed image of entries 0 to 3; entry 2 is the host's transparent index.
HostImage IndexedWithTransparentIndex() {
  HostImage image;
  image.mode = kModeIndexed;
  image.width = 4;
  image.height = 2;
  image.planes = 1;
  image.planar = {0, 1, 2, 3, 3, 2, 1, 0};
  for (int i = 0; i < 256; ++i) {
    image.red[i] = static_cast<uint8_t>(10 * i);
    image.green[i] = static_cast<uint8_t>(20 + i);
    image.blue[i] = static_cast<uint8_t>(200 - i);
  }
  image.transparentIndex = 2;
  return image;
}

TEST_F(SaveTransparencyTest, AnIndexedImagesTransparentIndexIsClearInAPaletteFileWhateverTheOptions) {
  for (const int32_t alphaChannel : {0, 1}) {
    const readback::Decoded decoded =
        SaveAndDecode(IndexedWithTransparentIndex(), {{FourCharCode("Type"), 1}, {FourCharCode("UAlC"), alphaChannel}});
    ASSERT_EQ(decoded.error, "");
    ASSERT_EQ(decoded.colormap.size(), 256u * 4);
    for (int e = 0; e < 256; ++e) EXPECT_EQ(decoded.colormap[e * 4 + 3], e == 2 ? 0 : 255) << e;
    EXPECT_EQ(decoded.pixels, (Bytes{0, 1, 2, 3, 3, 2, 1, 0}));
  }
}

TEST_F(SaveTransparencyTest, AnIndexedImagesTransparentIndexTakesTheFillInGrayscaleAndRgbFiles) {
  const int32_t fill = 0x0A1428;  // red 40, green 20, blue 10
  const readback::Decoded rgb =
      SaveAndDecode(IndexedWithTransparentIndex(), {{FourCharCode("Type"), 2}, {FourCharCode("FlCl"), fill}});
  ASSERT_EQ(rgb.error, "");
  ASSERT_EQ(rgb.channels, 3);
  EXPECT_EQ(Bytes(rgb.pixels.begin() + 6, rgb.pixels.begin() + 12), (Bytes{40, 20, 10, 30, 23, 197}));
  EXPECT_EQ(Bytes(rgb.pixels.begin(), rgb.pixels.begin() + 3), (Bytes{0, 20, 200}));

  const readback::Decoded gray =
      SaveAndDecode(IndexedWithTransparentIndex(), {{FourCharCode("Type"), 0}, {FourCharCode("FlCl"), fill}});
  ASSERT_EQ(gray.error, "");
  ASSERT_EQ(gray.channels, 1);
  EXPECT_EQ(gray.pixels[2], 23);  // the fill's gray
  EXPECT_EQ(gray.pixels[5], 23);
}

}  // namespace
