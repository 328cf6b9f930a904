// vexhost's command line: what each form parses to, and which mistakes are refused.
#include "testhost/command_line.h"

#include <gtest/gtest.h>

#include "host/host_abi.h"
#include "testhost/fake_host.h"
#include "testhost/host_options.h"

namespace {

std::optional<VexhostArguments> Parse(const std::vector<std::string>& words, std::string* error = nullptr) {
  std::string ignored;
  return ParseVexhostArguments(words, error != nullptr ? error : &ignored);
}

TEST(VexhostCommandLine, SaveTakesItsFilesAndEveryOption) {
  const std::optional<VexhostArguments> parsed =
      Parse({"--plugin", "p/Vexlorin.8bi", "save", "in.png", "out.png", "--param", "NPal=16", "--param",
             "FlCl=-2147483648", "--record", "rec.txt", "--cancel", "--pick", "12aBfF", "--ui", "steps.txt"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->command, VexhostCommand::kSave);
  EXPECT_EQ(parsed->pluginPath, "p/Vexlorin.8bi");
  EXPECT_EQ(parsed->input, "in.png");
  EXPECT_EQ(parsed->output, "out.png");
  ASSERT_EQ(parsed->parameters.size(), 2u);
  EXPECT_EQ(parsed->parameters[0].key, FourCharCode("NPal"));
  EXPECT_EQ(parsed->parameters[0].value, 16);
  EXPECT_EQ(parsed->parameters[1].key, FourCharCode("FlCl"));
  EXPECT_EQ(parsed->parameters[1].value, INT32_MIN);
  EXPECT_EQ(parsed->recordPath, "rec.txt");
  EXPECT_TRUE(parsed->cancel);
  EXPECT_EQ(parsed->pick[0], 0x12);
  EXPECT_EQ(parsed->pick[1], 0xAB);
  EXPECT_EQ(parsed->pick[2], 0xFF);
  EXPECT_EQ(parsed->uiScript, "steps.txt");
  EXPECT_EQ(parsed->failWriteAfter, -1);
}

TEST(VexhostCommandLine, SaveCanMakeTheOutputRefuseWritesAfterSomeBytes) {
  std::optional<VexhostArguments> parsed = Parse({"save", "in.png", "out.png", "--fail-write-after", "100"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->failWriteAfter, 100);
  parsed = Parse({"save", "in.png", "out.png", "--fail-write-after", "0"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->failWriteAfter, 0);
  parsed = Parse({"save", "in.png", "out.png", "--fail-write-after", "5000000000"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->failWriteAfter, 5000000000);
}

TEST(VexhostCommandLine, SaveCanPlayWithoutTheDialogAndAbortAfterSomeCalls) {
  std::optional<VexhostArguments> parsed = Parse({"save", "in.png", "out.png"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_FALSE(parsed->playInfo.has_value());
  EXPECT_EQ(parsed->abortAfter, -1);
  parsed = Parse({"save", "in.png", "out.png", "--play-info", "2", "--abort-after", "7"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->playInfo, int16_t{2});
  EXPECT_EQ(parsed->abortAfter, 7);
  std::string error;
  EXPECT_FALSE(Parse({"save", "in.png", "out.png", "--abort-after", "0"}, &error).has_value());
  EXPECT_NE(error.find("--abort-after"), std::string::npos);
  EXPECT_FALSE(Parse({"save", "in.png", "out.png", "--play-info", "40000"}, &error).has_value());
  EXPECT_FALSE(Parse({"estimate", "in.png", "--play-info", "0"}, &error).has_value());
}

TEST(VexhostCommandLine, SaveCanEmbedAProfileAndSetTheResolutionAndXmpByHand) {
  std::optional<VexhostArguments> parsed = Parse({"save", "in.png", "out.png"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_FALSE(parsed->embedProfile);
  EXPECT_EQ(parsed->resolution, 0);
  parsed = Parse(
      {"save", "in.png", "out.png", "--embed-profile", "--icc", "p.icc", "--resolution", "32767", "--xmp", "x.xmp"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_TRUE(parsed->embedProfile);
  EXPECT_EQ(parsed->iccPath, "p.icc");
  EXPECT_EQ(parsed->resolution, 32767);
  EXPECT_EQ(parsed->xmpPath, "x.xmp");
  EXPECT_EQ(Parse({"save", "in.png", "out.png", "--resolution", "1"})->resolution, 1);

  std::string error;
  EXPECT_FALSE(Parse({"save", "in.png", "out.png", "--icc", "p.icc"}, &error).has_value());
  EXPECT_EQ(error, "--icc belongs with --embed-profile");
  EXPECT_FALSE(Parse({"save", "in.png", "out.png", "--resolution", "32768"}, &error).has_value());
  EXPECT_EQ(error, "--resolution wants pixels per inch from 1 to 32767, not '32768'");
}

TEST(VexhostCommandLine, DeepModesOfSaveAndEstimateReachTheRecordOfASixteenBitDocument) {
  HostImage image;
  image.mode = kModeRGB;
  image.depth = 16;
  image.width = 1;
  image.height = 1;
  image.planes = 3;
  image.planar16 = {0, 16384, 32768};
  for (const std::vector<std::string>& words : {std::vector<std::string>{"save", "in.png", "out.png", "--deep-modes"},
                                                std::vector<std::string>{"estimate", "--deep-modes", "in.png"}}) {
    const std::optional<VexhostArguments> parsed = Parse(words);
    ASSERT_TRUE(parsed.has_value()) << ::testing::PrintToString(words);
    FakeHost host(image, FakeHostOptionsFor(*parsed));
    EXPECT_EQ(host.Record().imageMode, kModeRGB48) << ::testing::PrintToString(words);
  }
}

TEST(VexhostCommandLine, EstimateAndAboutTakeTheirOperands) {
  std::optional<VexhostArguments> parsed = Parse({"estimate", "in.pam"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->command, VexhostCommand::kEstimate);
  EXPECT_EQ(parsed->input, "in.pam");
  EXPECT_TRUE(parsed->pluginPath.empty());
  EXPECT_FALSE(parsed->cancel);

  parsed = Parse({"--plugin", "x.8bi", "about"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->command, VexhostCommand::kAbout);
  EXPECT_EQ(parsed->pluginPath, "x.8bi");
  EXPECT_TRUE(parsed->uiScript.empty());

  // The About box is a dialog too, which a UI script may answer.
  parsed = Parse({"about", "--ui", "close.ui"});
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->command, VexhostCommand::kAbout);
  EXPECT_EQ(parsed->uiScript, "close.ui");
}

TEST(VexhostCommandLine, UnknownFourCharacterKeysPassThrough) {
  const std::optional<VexhostArguments> parsed = Parse({"save", "a", "b", "--param", "Zq 9=0"});
  ASSERT_TRUE(parsed.has_value());
  ASSERT_EQ(parsed->parameters.size(), 1u);
  EXPECT_EQ(KeyText(parsed->parameters[0].key), "Zq 9");
}

TEST(VexhostCommandLine, MistakesAreRefusedWithAReason) {
  const std::vector<std::vector<std::string>> mistakes = {
      {},
      {"print", "a"},
      {"save", "only-input"},
      {"save", "a", "b", "c"},
      {"estimate"},
      {"about", "extra"},
      {"estimate", "a", "--cancel"},
      {"about", "--param", "NPal=1"},
      {"save", "a", "b", "--param", "NPa=1"},
      {"save", "a", "b", "--param", "NPals=1"},
      {"save", "a", "b", "--param", "NPal"},
      {"save", "a", "b", "--param", "NPal=x"},
      {"save", "a", "b", "--param", "NPal=2147483648"},
      {"save", "a", "b", "--param", "NPal="},
      {"save", "a", "b", "--pick", "12345"},
      {"save", "a", "b", "--pick", "12345g"},
      {"save", "a", "b", "--record"},
      {"--plugin"},
      {"save", "a", "b", "--verbose"},
      {"save", "a", "b", "--fail-write-after"},
      {"save", "a", "b", "--fail-write-after", "-1"},
      {"save", "a", "b", "--fail-write-after", "12k"},
      {"save", "a", "b", "--fail-write-after", "99999999999999999999"},
      {"estimate", "a", "--fail-write-after", "10"},
      {"estimate", "a", "--ui", "steps.ui"},
      {"about", "--cancel"},
      {"save", "a", "b", "--resolution", "0"},
      {"save", "a", "b", "--resolution", "-72"},
      {"save", "a", "b", "--resolution", "72dpi"},
      {"save", "a", "b", "--resolution"},
      {"save", "a", "b", "--embed-profile", "--icc", ""},
      {"save", "a", "b", "--xmp", ""},
      {"save", "a", "b", "--xmp"},
      {"estimate", "a", "--embed-profile"},
      {"estimate", "a", "--resolution", "72"},
      {"about", "--deep-modes"},
  };
  for (const std::vector<std::string>& words : mistakes) {
    std::string error;
    EXPECT_FALSE(Parse(words, &error).has_value()) << ::testing::PrintToString(words);
    EXPECT_FALSE(error.empty()) << ::testing::PrintToString(words);
  }
}

TEST(VexhostCommandLine, KeysAreFourPrintableCharactersFirstInTheTopByte) {
  EXPECT_EQ(KeyFromText("Left"), FourCharCode("Left"));
  EXPECT_EQ(KeyText(0x4C656674), "Left");
  EXPECT_FALSE(KeyFromText("Lef").has_value());
  EXPECT_FALSE(KeyFromText("Le\tf").has_value());
}

}  // namespace
