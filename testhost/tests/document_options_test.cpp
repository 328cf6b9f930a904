// A save's options and the document the host hands over: the profile chosen for embedding, and the
// resolution and XMP given by hand.
#include "testhost/document_options.h"

#include <gtest/gtest.h>

#include <fstream>

#include "testhost/tests/temp_folder.h"

namespace {

class DocumentOptionsTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_.File(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // Applies arguments to image with srgb.icc in the test's folder as the sRGB profile; false on an error.
  bool Apply(const VexhostArguments& arguments, HostImage* image) {
    return ApplyDocumentOptions(arguments, folder_.File("srgb.icc"), image, &error_, &notice_);
  }

  static std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

  TempFolder folder_;
  std::string error_;
  std::string notice_;
};

TEST_F(DocumentOptionsTest, ByHandOverridesTheInput) {
  HostImage image;
  image.iccProfile = Bytes("input profile");
  image.xmp = "input xmp";
  VexhostArguments arguments;
  arguments.embedProfile = true;
  arguments.iccPath = Write("given.icc", std::string("given\0profile", 13));
  arguments.resolution = 600;
  arguments.xmpPath = Write("given.xmp", "<x:xmpmeta>given</x:xmpmeta>");
  ASSERT_TRUE(Apply(arguments, &image)) << error_;
  EXPECT_EQ(image.iccProfile, Bytes(std::string("given\0profile", 13)));
  EXPECT_EQ(image.horizontalResolution, 600 << 16);
  EXPECT_EQ(image.verticalResolution, 600 << 16);
  EXPECT_EQ(image.xmp, "<x:xmpmeta>given</x:xmpmeta>");
  EXPECT_EQ(notice_, "");

  arguments.xmpPath = folder_.File("missing.xmp");
  EXPECT_FALSE(Apply(arguments, &image));
  EXPECT_NE(error_.find("missing.xmp"), std::string::npos) << error_;
  arguments.xmpPath.clear();
  arguments.iccPath = folder_.File("missing.icc");
  EXPECT_FALSE(Apply(arguments, &image));
  EXPECT_NE(error_.find("missing.icc"), std::string::npos) << error_;
}

TEST_F(DocumentOptionsTest, TheInputsOwnValuesStayWithoutOptionsButItsProfileOnlyWhenEmbedding) {
  HostImage image;
  image.iccProfile = Bytes("input profile");
  image.horizontalResolution = 1234567;
  image.xmp = "input xmp";
  VexhostArguments arguments;
  arguments.embedProfile = true;
  ASSERT_TRUE(Apply(arguments, &image)) << error_;
  EXPECT_EQ(image.iccProfile, Bytes("input profile"));
  EXPECT_EQ(image.horizontalResolution, 1234567);
  EXPECT_EQ(image.verticalResolution, 72 << 16);
  EXPECT_EQ(image.xmp, "input xmp");

  arguments.embedProfile = false;
  ASSERT_TRUE(Apply(arguments, &image)) << error_;
  EXPECT_TRUE(image.iccProfile.empty());
  EXPECT_EQ(image.xmp, "input xmp");
}

TEST_F(DocumentOptionsTest, AnSrgbInputGetsTheSrgbProfileOrANoticeWhenThereIsNone) {
  HostImage image;
  image.declaresSrgb = true;
  VexhostArguments arguments;
  arguments.embedProfile = true;
  ASSERT_TRUE(Apply(arguments, &image)) << error_;
  EXPECT_TRUE(image.iccProfile.empty());
  EXPECT_NE(notice_.find("no sRGB profile at " + folder_.File("srgb.icc")), std::string::npos) << notice_;

  Write("srgb.icc", "the sRGB profile");
  ASSERT_TRUE(Apply(arguments, &image)) << error_;
  EXPECT_EQ(image.iccProfile, Bytes("the sRGB profile"));
  EXPECT_EQ(notice_, "");

  HostImage plain;
  ASSERT_TRUE(Apply(arguments, &plain)) << error_;
  EXPECT_TRUE(plain.iccProfile.empty());
  EXPECT_NE(notice_.find("no colour profile"), std::string::npos) << notice_;
}

}  // namespace
