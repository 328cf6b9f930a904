// The settings file's text: the writer's exact bytes, what the reader takes from a file, and the file itself.
#include "ui/settings_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "base/platform.h"
#include "records/save_paths.h"

namespace {

using namespace std::string_literals;

const std::string kDefaultFile =
    ";Parameters for Brindlewerks Vexlorin format plug-in\n"
    "tfeL 100 \t\t\t\t;Left of window\n"
    "WpoT 100 \t\t\t\t;Top of window\n"
    "htdW 800 \t\t\t\t;Width of window\n"
    "thgH 600 \t\t\t\t;Height of window\n"
    "epyT 2 \t\t\t\t;Type of PNG\n"
    "laPN 256 \t\t\t\t;Colors in Palette\n"
    "ClAU 1 \t\t\t\t;Alpha Channel\n"
    "lCCU 1 \t\t\t\t;Use Key Color\n"
    "fDCU 1 \t\t\t\t;Use Key Color Dithering\n"
    "lClF 0 \t\t\t\t;Fill Color\n"
    "rhtD 1 \t\t\t\t;Dithering\n"
    "enfR 0 \t\t\t\t;Refine Palette\n"
    "rpmC 0 \t\t\t\t;Compression\n"
    "ytlQ 0 \t\t\t\t;Palette Quality\n"
    "ateM 0 \t\t\t\t;Metadata\n"
    "GRsC 0 \t\t\t\t;Convert to sRGB\n"
    "61tB 0 \t\t\t\t;16 Bits/Channel\n"
    "mooZ 1000 \t\t\t\t;Preview Zoom\n"
    "weiV 1 \t\t\t\t;Preview View\n";

// Every field away from its default; the window partly off the top left of the screen.
const SaveOptionsRecord kNonDefault{-1200,  -35, 1024, 768, kPngPalette, 16, 0, 0, 16777215,
                                    kNoise, 0,   1,    1,   75,          1,  1, 0, 2};

template <typename Change>
SaveOptionsRecord Defaults(Change change) {
  SaveOptionsRecord options;
  change(options);
  return options;
}

SaveOptionsRecord WithPaletteColors(int32_t colors) {
  return Defaults([colors](SaveOptionsRecord& o) { o.paletteColors = colors; });
}
SaveOptionsRecord WithPngType(int8_t type) {
  return Defaults([type](SaveOptionsRecord& o) { o.pngType = type; });
}

SaveOptionsRecord Parsed(const std::string& bytes, SaveOptionsRecord options = {}) {
  ParseSettings(bytes, options);
  return options;
}

// The formatted text names every field and its value, so equal texts mean equal records.
#define EXPECT_SAME_OPTIONS(actual, expected) EXPECT_EQ(FormatSettings(actual), FormatSettings(expected))

struct ParseCase {
  std::string bytes;
  SaveOptionsRecord expected;
};

void ExpectParses(const std::vector<ParseCase>& cases) {
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_SAME_OPTIONS(Parsed(c.bytes), c.expected);
  }
}

TEST(FormatSettings, WritesTheExactLinesWithEachFieldsOwnSignedness) {
  EXPECT_EQ(FormatSettings(SaveOptionsRecord{}), kDefaultFile);
  const std::string text = FormatSettings({-1200, -35, 1, 2, -1, 16, 0, 0, -1, 200, 255});
  for (const char* line :
       {"\ntfeL -1200 \t\t\t\t;Left of window\n", "\nepyT -1 \t\t\t\t;Type of PNG\n", "\nlClF -1 \t\t\t\t;Fill Color\n",
        "\nrhtD 200 \t\t\t\t;Dithering\n", "\nfDCU 255 \t\t\t\t;Use Key Color Dithering\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(FormatCommentLine("Parameters"), ";Parameters\n");
  EXPECT_EQ(FormatCommentLine(";Parameters"), ";Parameters\n");
}

TEST(ParseSettings, ReadsBackWhatTheWriterWroteWithEitherLineEnding) {
  EXPECT_SAME_OPTIONS(Parsed(FormatSettings(kNonDefault)), kNonDefault);
  EXPECT_EQ(static_cast<uint32_t>(Parsed(FormatSettings(kNonDefault)).fillColor), 0x00FFFFFFu);
  std::string crlf;
  for (char c : FormatSettings(kNonDefault)) crlf += c == '\n' ? "\r\n" : std::string(1, c);
  EXPECT_SAME_OPTIONS(Parsed(crlf), kNonDefault);
  // Fields the file does not name keep what they had.
  SaveOptionsRecord expected = kNonDefault;
  expected.paletteColors = 64;
  EXPECT_SAME_OPTIONS(Parsed("laPN 64\n", kNonDefault), expected);
}

TEST(ParseSettings, FindsKeysOnlyWhereALineStarts) {
  ExpectParses({
      {"  epyT 1\n", WithPngType(1)},
      {"\tepyT\t1\n", WithPngType(1)},
      {"epyT\n", WithPngType(0)},
      {"laPN ;16\n", WithPaletteColors(0)},
      {"Type 1\n", {}},
      {"EPYT 1\n", {}},
      {"  ;epyT 1\n", {}},
      {"\n\n \nab\n", {}},
      {"laPN 16\nepyT 1", WithPaletteColors(16)},
      {"laPN 16\nlaPN 8\n", WithPaletteColors(8)},
  });
}

TEST(ParseSettings, TakesTheValueAsADecimalPrefixOfAtMostSixtyFourCharacters) {
  ExpectParses({
      {"laPN 1.5\n", WithPaletteColors(1)},
      {"laPN 1e3\n", WithPaletteColors(1)},
      {"laPN 1,000\n", WithPaletteColors(1)},
      {"laPN 12abc\n", WithPaletteColors(12)},
      {"laPN -\n", WithPaletteColors(0)},
      {"laPN +5\n", WithPaletteColors(0)},
      {"laPN 300\n", WithPaletteColors(300)},
      {"laPN -7\n", WithPaletteColors(-7)},
      {"laPN 99999999999\n", WithPaletteColors(INT32_MAX)},
      {"laPN " + std::string(63, '0') + "7\n", WithPaletteColors(7)},
      {"laPN " + std::string(64, '0') + "7\n", WithPaletteColors(0)},
  });
}

TEST(ParseSettings, StoresThirtyTwoBitFieldsWholeAndEightBitFieldsAsTheirLowByte) {
  EXPECT_EQ(static_cast<uint32_t>(Parsed("lClF -1\n").fillColor), 0xFFFFFFFFu);
  EXPECT_EQ(Parsed("tfeL -2147483648\n").windowLeft, INT32_MIN);
  EXPECT_EQ(Parsed("epyT 300\n").pngType, 44);
  EXPECT_EQ(Parsed("epyT 255\n").pngType, -1);
  EXPECT_EQ(Parsed("ClAU 256\n").alphaChannel, 0);
  EXPECT_EQ(Parsed("rhtD 258\n").dither, 2);
  EXPECT_EQ(Parsed("fDCU -1\n").keyColorDither, 255);
}

TEST(ParseSettings, EndsALineAtLowControlBytesNulAndHighBytes) {
  // After the ending byte a new line starts, so a key right behind it is read.
  const SaveOptionsRecord second = WithPaletteColors(32);
  const SaveOptionsRecord first = WithPaletteColors(16);
  ExpectParses({
      {"laPN 16\rlaPN 32\r", second},
      {"laPN 16\0laPN 32\n"s, second},
      {"laPN 16 \x01laPN 32\n", second},
      {"laPN 16 ;\x80laPN 32\n", second},
      {"laPN 16 ;caf\xE9laPN 32\n", second},
      {"laPN 16 \x0ElaPN 32\n", first},
      {"laPN 16 \x7FlaPN 32\n", first},
      {"epyT 1 \t\t\t\t;Typ\xE9 of PNG\nlaPN 16\n", Defaults([](SaveOptionsRecord& o) {
         o.pngType = 1;
         o.paletteColors = 16;
       })},
  });
}

TEST(ParseSettings, IgnoresLinesLongerThanTheBufferAndReadsOn) {
  std::string fits = "epyT 1 ;";
  fits.resize(1022, 'x');  // with its line feed and the terminating zero: 1,024 bytes
  const std::string tooLong = fits + "x";
  ExpectParses({
      {fits + "\n", WithPngType(1)},
      {tooLong + "\n", {}},
      // Tabs count toward the length; the key past the cut is still part of the ignored line.
      {"laPN 4" + std::string(5000, '\t') + "epyT 0\nrhtD 3\n", Defaults([](SaveOptionsRecord& o) { o.dither = 3; })},
      {"laPN 8\n" + std::string(5000, 'x') + "epyT 1", WithPaletteColors(8)},
  });
}

// LoadSettings and SaveSettings on a real file, with PluginDir pointed at a folder of the test's own.
class SettingsFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    do {
      folder_ = std::filesystem::temp_directory_path() / ("vexlorin-settings-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(folder_));
    PluginDir = platform::FromUtf8(folder_.u8string() + "/");
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    PluginDir = savedPluginDir_;
    SaveOptions = savedOptions_;
  }
  std::string FileBytes() const {
    std::ifstream in(folder_ / "Vexlorin.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path folder_;
  const platform::WidePath savedPluginDir_ = PluginDir;
  const SaveOptionsRecord savedOptions_ = SaveOptions;
};

TEST_F(SettingsFileOnDisk, SaveWritesTheFileBesideThePlugInAndLoadReadsItBack) {
  SaveOptions = kNonDefault;
  LoadSettings();  // no file yet
  EXPECT_SAME_OPTIONS(SaveOptions, kNonDefault);
  ResetSaveOptions();
  SaveSettings();
  EXPECT_EQ(FileBytes(), kDefaultFile);
  SaveOptions = kNonDefault;
  SaveSettings();
  EXPECT_EQ(FileBytes(), FormatSettings(kNonDefault));
  ResetSaveOptions();
  LoadSettings();
  EXPECT_SAME_OPTIONS(SaveOptions, kNonDefault);
}

TEST_F(SettingsFileOnDisk, AFolderThatCannotHoldTheFileIsNotAnError) {
  PluginDir = platform::FromUtf8((folder_ / "missing").u8string() + "/");
  SaveOptions = kNonDefault;
  SaveSettings();
  LoadSettings();
  EXPECT_SAME_OPTIONS(SaveOptions, kNonDefault);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

}  // namespace
