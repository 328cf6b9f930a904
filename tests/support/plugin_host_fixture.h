#pragma once
// Shared ground for tests that drive PluginMain through the fake host: a private folder per test that is
// also the plug-in's folder and the working folder (so the settings file and the log stay inside it), and
// small builders for host images and files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/platform.h"
#include "host/host_call.h"
#include "testhost/dialog_double.h"
#include "testhost/fake_host.h"
#include "testhost/tests/temp_folder.h"

class PluginHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
    platform::SetNativeModuleFileName(platform::FromUtf8(folder_.File("Vexlorin.8bi")));
    ResetDialogDouble();
    ForgetHeldSuites();
  }
  void TearDown() override {
    ResetDialogDouble();
    ForgetHeldSuites();
    std::filesystem::current_path(previousFolder_);
  }

  // Suites are held process-wide between calls of one save; a test that ends with suites still held must not
  // hand them to the next test's host, whose counters would then miss the acquisition.
  static void ForgetHeldSuites() {
    HandleSuiteSlot.suite = nullptr;
    BufferSuiteSlot.suite = nullptr;
  }

  std::string File(const std::string& name) const { return folder_.File(name); }

  static std::string Contents(const std::string& utf8Path) {
    std::ifstream file(std::filesystem::u8path(utf8Path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  }

  static void WriteText(const std::string& utf8Path, const std::string& text) {
    std::ofstream file(std::filesystem::u8path(utf8Path), std::ios::binary | std::ios::trunc);
    file << text;
  }

  static bool IsRegularFile(const std::string& utf8Path) {
    return std::filesystem::is_regular_file(std::filesystem::u8path(utf8Path));
  }

  TempFolder folder_;
  std::filesystem::path previousFolder_;
};

// An image of the given planes, each plane given in full (width * height samples, rows top to bottom).
inline HostImage PlanarImage(int16_t mode, int32_t width, int32_t height,
                             const std::vector<std::vector<uint8_t>>& planes) {
  HostImage image;
  image.mode = mode;
  image.width = width;
  image.height = height;
  image.planes = static_cast<int16_t>(planes.size());
  for (const std::vector<uint8_t>& plane : planes) image.planar.insert(image.planar.end(), plane.begin(), plane.end());
  return image;
}

// An image whose sample at plane p, index i is (p * 40 + i) mod 256: every sample tells where it came from.
inline HostImage PatternImage(int16_t mode, int16_t planes, int32_t width, int32_t height) {
  HostImage image;
  image.mode = mode;
  image.width = width;
  image.height = height;
  image.planes = planes;
  for (int p = 0; p < planes; ++p) {
    for (int32_t i = 0; i < width * height; ++i) image.planar.push_back(static_cast<uint8_t>(p * 40 + i));
  }
  return image;
}
