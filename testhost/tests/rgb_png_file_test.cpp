// The snapshot writer's files read back through the host's own PNG reader, pixel for pixel.
#include "testhost/rgb_png_file.h"

#include <gtest/gtest.h>

#include "testhost/image_io.h"
#include "testhost/tests/temp_folder.h"

namespace {

TEST(RgbPngFile, WritesEveryPixelAsGiven) {
  TempFolder folder;
  const int32_t width = 5;
  const int32_t height = 3;
  std::vector<uint8_t> rgb(width * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 17 + 3);
  std::string error;
  const std::string path = folder.File("снимок.png");
  ASSERT_TRUE(WriteRgbPngFile(path, width, height, rgb, &error)) << error;

  const std::optional<HostImage> image = ReadImageFile(path, &error);
  ASSERT_TRUE(image.has_value()) << error;
  EXPECT_EQ(image->mode, 3);
  EXPECT_EQ(image->planes, 3);
  ASSERT_EQ(image->width, width);
  ASSERT_EQ(image->height, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(SampleAt(*image, c, x, y), rgb[(y * width + x) * 3 + c]) << x << "," << y << " channel " << c;
      }
    }
  }
}

TEST(RgbPngFile, RefusesMismatchedSizesAndUnwritablePaths) {
  TempFolder folder;
  std::string error;
  EXPECT_FALSE(WriteRgbPngFile(folder.File("a.png"), 2, 2, std::vector<uint8_t>(11), &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(WriteRgbPngFile(folder.File("a.png"), 0, 2, {}, &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(WriteRgbPngFile(folder.File("missing/a.png"), 1, 1, std::vector<uint8_t>(3), &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

}  // namespace
