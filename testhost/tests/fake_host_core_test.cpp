// The plug-in's core run through the fake host, with the dialog stand-in: the host side of a whole save.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/platform.h"
#include "host/plugin_main.h"
#include "testhost/dialog_double.h"
#include "testhost/fake_host.h"
#include "testhost/tests/temp_folder.h"

namespace {

HostImage Ramp(int16_t mode, int16_t planes, int32_t width = 5, int32_t height = 4) {
  HostImage image;
  image.mode = mode;
  image.width = width;
  image.height = height;
  image.planes = planes;
  for (int p = 0; p < planes; ++p) {
    for (int32_t i = 0; i < width * height; ++i) image.planar.push_back(static_cast<uint8_t>(p * 50 + i));
  }
  return image;
}

std::string Contents(const std::string& path) {
  std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Each test saves in its own folder, with the plug-in's settings and log there too.
class FakeHostCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
    platform::SetNativeModuleFileName(platform::FromUtf8(folder_.File("Vexlorin.8bi")));
    ResetDialogDouble();
  }
  void TearDown() override { std::filesystem::current_path(previousFolder_); }

  TempFolder folder_;
  std::filesystem::path previousFolder_;
};

TEST_F(FakeHostCoreTest, SaveWritesThePngThroughTheHostFileAndGivesEverythingBack) {
  FakeHost host(Ramp(kModeRGB, 3));
  const std::string output = folder_.File("out.png");
  ASSERT_TRUE(host.SetDestination(output));
  host.SetParameters({{FourCharCode("NPal"), 16}});
  EXPECT_EQ(host.Save(PluginMain), 0);
  host.CloseDestination();

  const std::string png = Contents(output);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output + ".temp")));
  EXPECT_EQ(DialogSeen.opened, 1);
  EXPECT_EQ(DialogSeen.compressedSize, static_cast<int32_t>(png.size()));

  // One whole plane per advance-state call, in the 32-bit rectangle.
  ASSERT_EQ(host.Seen().advanceStateCalls, 3);
  for (int plane = 0; plane < 3; ++plane) {
    const DataRequest& request = host.Seen().dataRequests[plane];
    EXPECT_EQ(request.loPlane, plane);
    EXPECT_EQ(request.hiPlane, plane);
    EXPECT_EQ(request.rect.bottom, 4);
    EXPECT_EQ(request.rect.right, 5);
  }
  // The copy into the host's file reports its one 64 KiB block to the host.
  ASSERT_FALSE(host.Seen().progress.empty());
  EXPECT_EQ(host.Seen().progress.back().done, 0);
  EXPECT_EQ(host.Seen().progress.back().total, 1);

  for (const char* suite : {kHandleSuiteName, kBufferSuiteName}) {
    EXPECT_GT(host.SuiteUseOf(suite).acquired, 0) << suite;
    EXPECT_EQ(host.SuiteUseOf(suite).acquired, host.SuiteUseOf(suite).released) << suite;
  }
  EXPECT_EQ(host.Seen().buffers.LiveCount(), 0u);
  EXPECT_EQ(host.Seen().buffers.BadDisposeCount(), 0);
  EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 0);
  EXPECT_EQ(host.Seen().incomingDescriptorDisposals, 1);
  EXPECT_EQ(host.Seen().resourceCalls, 0);
  EXPECT_EQ(host.Seen().readOpens, host.Seen().readCloses);
  EXPECT_EQ(host.Seen().writeOpens, host.Seen().writeCloses);
}

TEST_F(FakeHostCoreTest, CmykGoesThroughTheColorSpaceSuiteWhichIsGivenBack) {
  FakeHost host(Ramp(kModeCMYK, 5));
  ASSERT_TRUE(host.SetDestination(folder_.File("out.png")));
  EXPECT_EQ(host.Save(PluginMain), 0);
  EXPECT_GT(host.Seen().colorConversions, 0);
  EXPECT_EQ(host.SuiteUseOf(kColorSpaceSuiteName).acquired, 1);
  EXPECT_EQ(host.SuiteUseOf(kColorSpaceSuiteName).released, 1);
}

TEST_F(FakeHostCoreTest, WithoutThirtyTwoBitSupportTheSixteenBitRectangleIsUsed) {
  FakeHostOptions options;
  options.supports32BitCoordinates = false;
  FakeHost host(Ramp(kModeGrayScale, 1), options);
  ASSERT_TRUE(host.SetDestination(folder_.File("out.png")));
  EXPECT_EQ(host.Save(PluginMain), 0);
  EXPECT_EQ(host.Record().PluginUsing32BitCoordinates, 0);
  ASSERT_EQ(host.Seen().dataRequests.size(), 1u);
  EXPECT_EQ(host.Seen().dataRequests[0].rect.bottom, 4);
  EXPECT_EQ(host.Seen().dataRequests[0].rect.right, 5);
}

TEST_F(FakeHostCoreTest, CancelledDialogLeavesTheDestinationEmpty) {
  DialogScript.cancel = true;
  FakeHost host(Ramp(kModeRGB, 4));
  const std::string output = folder_.File("out.png");
  ASSERT_TRUE(host.SetDestination(output));
  EXPECT_EQ(host.Save(PluginMain), kUserCanceledErr);
  host.CloseDestination();
  EXPECT_EQ(Contents(output), "");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output + ".temp")));
  ASSERT_EQ(host.Calls().size(), 2u);  // no write continue or finish after a failed write start
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, host.SuiteUseOf(kHandleSuiteName).released);
}

TEST_F(FakeHostCoreTest, AFailingAdvanceStateEndsTheSaveWithItsCode) {
  FakeHostOptions options;
  options.advanceStateFailPlane = 1;
  FakeHost host(Ramp(kModeRGB, 3), options);
  const std::string output = folder_.File("out.png");
  ASSERT_TRUE(host.SetDestination(output));
  EXPECT_EQ(host.Save(PluginMain), kUserCanceledErr);
  EXPECT_EQ(host.Seen().advanceStateCalls, 2);  // plane 2 is never asked for
  EXPECT_EQ(DialogSeen.opened, 0);
  EXPECT_EQ(host.Seen().buffers.LiveCount(), 0u);
}

TEST_F(FakeHostCoreTest, AHostWithoutAdvanceStateIsInsufficientButTheAboutBoxStillWorks) {
  FakeHostOptions options;
  options.noAdvanceState = true;
  FakeHost host(Ramp(kModeRGB, 3), options);
  EXPECT_EQ(host.Save(PluginMain), kHostInsufficient);
  EXPECT_EQ(host.Estimate(PluginMain), kHostInsufficient);
  EXPECT_EQ(host.About(PluginMain), 0);
}

TEST_F(FakeHostCoreTest, EstimateTellsTheHostTheSize) {
  FakeHost host(Ramp(kModeIndexed, 1, 100, 100));
  EXPECT_EQ(host.Estimate(PluginMain), 0);
  EXPECT_EQ(host.Record().minDataBytes, 10804);
  EXPECT_EQ(host.Record().maxDataBytes, 10804);
}

}  // namespace
