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
#include "host/host_status.h"
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
int abortChecks = 0;
int abortFrom = 0;  // the host's abort callback answers yes from this call on; 0 never
PIBoolean AbortWhenAsked() { return ++abortChecks >= abortFrom && abortFrom > 0 ? 1 : 0; }

class CopyIntoHostFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vexcopyXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    progressCalls.clear();
    abortChecks = 0;
    abortFrom = 0;
    record_ = FormatRecord{};
    record_.progressProc = RecordProgress;
    record_.abortProc = AbortWhenAsked;
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
    *result = ResultCode(CopyIntoHostFile(source, host));
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

TEST_F(CopyIntoHostFileTest, CopiesWholeBlocksThenTheRestAndReportsEachBlockBeforeItGoes) {
  struct Case {
    size_t size;
    int32_t blocks;
  };
  for (const Case c :
       {Case{0, 0}, Case{1, 1}, Case{65535, 1}, Case{65536, 1}, Case{65537, 2}, Case{3 * 65536 + 5, 4}}) {
    progressCalls.clear();
    OSErr result = -1;
    EXPECT_EQ(Copy(c.size, &result).size(), c.size) << c.size;
    EXPECT_EQ(result, kNoErr) << c.size;
    std::vector<std::pair<int32_t, int32_t>> expected;
    for (int32_t i = 0; i < c.blocks; ++i) expected.emplace_back(i, c.blocks);
    EXPECT_EQ(progressCalls, expected) << c.size;
  }
}

TEST_F(CopyIntoHostFileTest, AnAbortStopsTheCopyBeforeTheNextBlock) {
  const std::string bytes(3 * 65536 + 5, 'x');
  for (const int from : {1, 2, 4}) {
    abortChecks = 0;
    abortFrom = from;
    FILE* source = std::fopen((folder_ + "/source").c_str(), "w+b");
    std::fwrite(bytes.data(), 1, bytes.size(), source);
    std::rewind(source);
    const int host = open((folder_ + "/host").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(write(host, "head", 4), 4);  // the copy starts where the file stands
    EXPECT_EQ(ResultCode(CopyIntoHostFile(source, host)), kUserCanceledErr) << from;
    std::fclose(source);
    // Whatever blocks went before the one the host stopped are cut off again.
    EXPECT_EQ(lseek(host, 0, SEEK_END), 4) << from;
    close(host);
  }
}

TEST_F(CopyIntoHostFileTest, AWriteThatFailsStopsTheCopyWithWriteError) {
  FILE* source = std::fopen((folder_ + "/source").c_str(), "w+b");
  std::fputs("a block of data that the host cannot take", source);
  std::rewind(source);
  const int readOnly = open((folder_ + "/source").c_str(), O_RDONLY);
  EXPECT_EQ(ResultCode(CopyIntoHostFile(source, readOnly)), kWriteErr);
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
