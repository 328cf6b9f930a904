// The save's own arithmetic and file handling: estimate, the block copy into the host's file, path limits.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/callouts.h"
#include "host/host_call.h"
#include "host/host_progress.h"
#include "host/save_pipeline.h"
#include "records/save_paths.h"

namespace {

TEST(EstimateSize, CountsPixelsResourcesHeaderAndIndexedPalette) {
  EXPECT_EQ(EstimateSize(100, 100, 8, 3, 0, kModeRGB), 30036);
  EXPECT_EQ(EstimateSize(100, 100, 8, 1, 0, kModeIndexed), 10804);
  EXPECT_EQ(EstimateSize(100, 100, 8, 4, 500, kModeRGB), 40536);
  // Row bytes round up to whole bytes for depths below 8.
  EXPECT_EQ(EstimateSize(9, 1, 1, 1, 0, kModeBitmap), 2 + 36);
  // Too large for 32 bits: the largest estimate instead of a wrapped one.
  EXPECT_EQ(EstimateSize(30000, 30000, 8, 5, 0, kModeRGB), INT32_MAX);
}

std::vector<std::pair<int32_t, int32_t>> progressCalls;
void RecordProgress(int32_t done, int32_t total) { progressCalls.emplace_back(done, total); }

class CopyIntoHostFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vexcopyXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    progressCalls.clear();
    record_ = FormatRecord{};
    record_.progressProc = RecordProgress;
    HostCall.format = &record_;
    Callouts.progress = ReportSaveProgress;  // as during a save
  }
  void TearDown() override {
    Callouts.progress = nullptr;
    HostCall.format = nullptr;
    std::remove((folder_ + "/source").c_str());
    std::remove((folder_ + "/host").c_str());
    rmdir(folder_.c_str());
  }

  // Copies `size` patterned bytes and returns what the host's file received.
  std::string Copy(size_t size, OSErr* result) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>(i * 7 + 3));
    FILE* source = std::fopen((folder_ + "/source").c_str(), "w+b");
    std::fwrite(bytes.data(), 1, bytes.size(), source);
    std::rewind(source);
    const int host = open((folder_ + "/host").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    *result = CopyIntoHostFile(source, host);
    std::fclose(source);
    close(host);
    FILE* written = std::fopen((folder_ + "/host").c_str(), "rb");
    std::string received;
    for (int c; (c = std::fgetc(written)) != EOF;) received.push_back(static_cast<char>(c));
    std::fclose(written);
    EXPECT_EQ(received, bytes);
    return received;
  }

  std::string folder_;
  FormatRecord record_;
};

TEST_F(CopyIntoHostFileTest, CopiesWholeBlocksThenSingleBytes) {
  for (size_t size : {0u, 40u, 41u, 80u, 119u}) {
    OSErr result = -1;
    EXPECT_EQ(Copy(size, &result).size(), size) << size;
    EXPECT_EQ(result, kNoErr) << size;
  }
}

TEST_F(CopyIntoHostFileTest, ReportsOneStepPerBlock) {
  OSErr result = -1;
  Copy(81, &result);
  const std::vector<std::pair<int32_t, int32_t>> expected{{0, 2}, {1, 2}};
  EXPECT_EQ(progressCalls, expected);

  progressCalls.clear();
  Copy(39, &result);
  EXPECT_TRUE(progressCalls.empty());
}

TEST_F(CopyIntoHostFileTest, AWriteThatFailsStopsTheCopyWithWriteError) {
  FILE* source = std::fopen((folder_ + "/source").c_str(), "w+b");
  std::fputs("more than forty bytes of data, so a block is written", source);
  std::rewind(source);
  const int readOnly = open((folder_ + "/source").c_str(), O_RDONLY);
  EXPECT_EQ(CopyIntoHostFile(source, readOnly), kWriteErr);
  close(readOnly);
  std::fclose(source);
}

TEST(SavePaths, TemporaryPathIsTheDestinationWithTempAppended) {
  const std::u16string destination = u"C:\\Users\\Пользователь\\画像\\out.png";
  std::vector<uint16_t> units(destination.begin(), destination.end());
  units.push_back(0);
  ASSERT_TRUE(BuildTempPngPath(units.data()));
  EXPECT_EQ(TempPngPath, destination + u".temp");
}

TEST(SavePaths, DestinationsThatDoNotFitThePathBufferAreRefused) {
  std::vector<uint16_t> longest(2042, 'a');
  longest.push_back(0);
  ASSERT_TRUE(BuildTempPngPath(longest.data()));
  EXPECT_EQ(TempPngPath.size(), 2047u);  // 2048 with the terminator

  std::vector<uint16_t> tooLong(2043, 'a');
  tooLong.push_back(0);
  EXPECT_FALSE(BuildTempPngPath(tooLong.data()));
  EXPECT_FALSE(BuildTempPngPath(nullptr));
}

TEST(SavePaths, PluginDirCutsTheLastTwelveCharactersOfTheModuleName) {
  ASSERT_TRUE(BuildPluginDir(u"C:\\Plug-ins\\Vexlorin.8bi"));
  EXPECT_EQ(PluginDir, u"C:\\Plug-ins\\");
  // A renamed file moves the folder accordingly: the cut is by length, not at the separator.
  ASSERT_TRUE(BuildPluginDir(u"C:\\Plug-ins\\Vex.8bi"));
  EXPECT_EQ(PluginDir, u"C:\\Plug");

  EXPECT_TRUE(BuildPluginDir(std::u16string(1023, u'a')));
  EXPECT_FALSE(BuildPluginDir(std::u16string(1024, u'a')));
}

}  // namespace
