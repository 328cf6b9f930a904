// Faults injected into whole saves through the fake host and the platform layer's test seam: memory that
// cannot be had, a host's file or a disk that fills up part-way, folders and files in the way, a host that
// refuses, settings files that are not what they should be, and images too large for the process. Every fault
// must end in a clear result code without a crash; the user's file stays empty unless the save succeeded, no
// temporary file is left, and everything borrowed or allocated is given back.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/page_block.h"
#include "base/platform.h"
#include "host/acquire_image.h"
#include "host/host_call.h"
#include "host/host_status.h"
#include "host/plugin_main.h"
#include "host/save_pipeline.h"
#include "png/size_text.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/color_hash.h"
#include "tests/support/platform_faults.h"
#include "tests/support/plugin_host_fixture.h"
#include "ui/settings_file.h"

namespace {

constexpr uint64_t kThirtyTwoBitProcess = uint64_t{1} << 31;
constexpr int32_t kLargestSide = 32767;  // the plug-in's declared maximum in either direction

DescriptorKeyID Key(const char (&text)[5]) {
  return static_cast<DescriptorKeyID>(static_cast<uint8_t>(text[0])) << 24 |
         static_cast<DescriptorKeyID>(static_cast<uint8_t>(text[1])) << 16 |
         static_cast<DescriptorKeyID>(static_cast<uint8_t>(text[2])) << 8 |
         static_cast<DescriptorKeyID>(static_cast<uint8_t>(text[3]));
}

// Samples from a fixed pseudo-random sequence: many colours, so the palette is really built and the PNG spans
// many copy blocks.
HostImage NoisyImage(int16_t mode, int16_t planes, int32_t width, int32_t height, uint32_t seed) {
  HostImage image = PatternImage(mode, planes, width, height);
  uint32_t state = seed;
  for (uint8_t& sample : image.planar) {
    state = state * 1103515245u + 12345u;
    sample = static_cast<uint8_t>(state >> 16);
  }
  return image;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The PNG's colour type, from its header (byte 25); -1 for anything that is not a PNG.
int ColorTypeOf(const std::string& png) {
  if (png.size() < 26 || png.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0) return -1;
  return static_cast<uint8_t>(png[25]);
}

// What one save left behind.
struct Outcome {
  int16_t result = 0;
  std::string destination;     // the host's file after the save
  bool temporaryLeft = false;  // the ".temp" file still exists as a file
  size_t hostBuffersLive = 0;
  int hostBadDisposals = 0;
  bool suitesBalanced = true;  // every suite acquired was released
  int32_t pageBlocksLeft = 0;  // page blocks alive now that were not before the save
  bool imageFreed = true;      // WholeImage and ReducedImage have no pixels
  int advanceStateCalls = 0;
  int hostBuffersLent = 0;
  int dialogOpened = 0;
};

class FaultTest : public PluginHostTest {
 protected:
  void SetUp() override {
    PluginHostTest::SetUp();
    ClearSeams();
    // The host's file is refused by the linked plug-in's platform layer (testhost/host_files.h).
    LinkedPluginWriteLimit = faults::LimitHostFileWrites;
  }
  void TearDown() override {
    ClearSeams();
    LinkedPluginWriteLimit = nullptr;
    PluginHostTest::TearDown();
  }

  static void ClearSeams() { faults::SwitchAllOff(); }

  // One whole save into out.png in the test's folder, the seams as the caller set them. `prepare` may change
  // the host's record once the destination is set.
  Outcome Save(const HostImage& image, const FakeHostOptions& options = {}, const DescriptorItems& parameters = {},
               const std::function<void(FakeHost&)>& prepare = nullptr) {
    const std::string output = File("out.png");
    const int32_t liveBefore = faults::LivePageBlocks();
    ResetDialogDouble();
    Outcome outcome;
    {
      FakeHost host(image, options);
      if (!host.SetDestination(output)) {
        ADD_FAILURE() << "cannot open " << output;
        return outcome;
      }
      if (!parameters.empty()) host.SetParameters(parameters);
      if (prepare) prepare(host);
      outcome.result = host.Save(PluginMain);
      host.CloseDestination();
      outcome.hostBuffersLive = host.Seen().buffers.LiveCount();
      outcome.hostBadDisposals = host.Seen().buffers.BadDisposeCount() + host.Seen().handles.BadDisposeCount();
      for (const char* suite : {kHandleSuiteName, kBufferSuiteName, kColorSpaceSuiteName}) {
        if (host.SuiteUseOf(suite).acquired != host.SuiteUseOf(suite).released) outcome.suitesBalanced = false;
      }
      outcome.advanceStateCalls = host.Seen().advanceStateCalls;
      outcome.hostBuffersLent = host.Seen().buffers.NewCount();
    }
    outcome.destination = Contents(output);
    outcome.temporaryLeft = IsRegularFile(output + ".temp");
    outcome.pageBlocksLeft = faults::LivePageBlocks() - liveBefore;
    outcome.imageFreed = WholeImage.pixels == nullptr && ReducedImage.pixels == nullptr;
    outcome.dialogOpened = DialogSeen.opened;
    return outcome;
  }

  // What every save must leave, whichever way it ended; `what` names the case in failure messages.
  static void ExpectCleanEnd(const Outcome& outcome, const std::string& what) {
    EXPECT_FALSE(outcome.temporaryLeft) << what;
    EXPECT_EQ(outcome.hostBuffersLive, 0u) << what;
    EXPECT_EQ(outcome.hostBadDisposals, 0) << what;
    EXPECT_TRUE(outcome.suitesBalanced) << what;
    EXPECT_EQ(outcome.pageBlocksLeft, 0) << what;
    EXPECT_TRUE(outcome.imageFreed) << what;
  }

  // A failed save leaves the user's file as the host opened it: empty.
  static void ExpectFailedAndUntouched(const Outcome& outcome, const std::string& what) {
    EXPECT_NE(outcome.result, 0) << what;
    EXPECT_EQ(outcome.destination.size(), 0u) << what;
    ExpectCleanEnd(outcome, what);
  }
};

// ---------------------------------------------------------------------------------------------------------------
// Memory

class AllocationFaultTest : public FaultTest {
 protected:
  // Saves once without faults for the reference PNG, then once for every page allocation the save makes, that
  // allocation failing. A save that still succeeds must hand over exactly the reference PNG (the match cache is
  // only a cache); one that fails must end cleanly with the user's file empty. Answers the allocations seen.
  int32_t SweepAllocations(const HostImage& image, const DescriptorItems& parameters, const std::string& what) {
    const Outcome reference = Save(image, {}, parameters);
    EXPECT_EQ(reference.result, 0) << what;
    EXPECT_GT(ColorTypeOf(reference.destination), -1) << what;
    ExpectCleanEnd(reference, what + ", no fault");

    constexpr int32_t kEnough = 64;  // far more than a save makes; the loop ends when the nth is never reached
    for (int32_t nth = 1; nth <= kEnough; ++nth) {
      faults::FailNthPageAllocation(nth);
      const Outcome outcome = Save(image, {}, parameters);
      const bool reached = faults::PageAllocationCalls() >= nth;
      const size_t refused = faults::RefusedPageAllocationBytes();
      faults::FailNthPageAllocation(0);
      const std::string which =
          what + ", page allocation " + std::to_string(nth) + " (" + std::to_string(refused) + " bytes) failing";
      if (!reached) {
        EXPECT_EQ(outcome.result, 0) << which;
        EXPECT_TRUE(outcome.destination == reference.destination) << which;
        ExpectCleanEnd(outcome, which);
        return nth - 1;
      }
      if (outcome.result == 0) {
        // Only the colour count of the palette builder degrades: it counts a coarser sample instead, so the
        // palette may differ; the PNG is still the image in the same type and size.
        const bool colorCount = refused == sizeof(void*) * kColorHashSize;
        if (colorCount) {
          EXPECT_EQ(outcome.destination.substr(0, 33), reference.destination.substr(0, 33)) << which;
        } else {
          EXPECT_TRUE(outcome.destination == reference.destination)
              << which << ": saved " << outcome.destination.size() << " bytes, not the " << reference.destination.size()
              << " of the PNG without fault";
        }
        ExpectCleanEnd(outcome, which);
      } else {
        ExpectFailedAndUntouched(outcome, which);
      }
    }
    ADD_FAILURE() << what << ": more than " << kEnough << " page allocations";
    return kEnough;
  }
};

TEST_F(AllocationFaultTest, EveryPageAllocationOfASaveFailingInTurnEndsCleanly) {
  // Palette of a transparent RGB image with Diffusion: the image, the sample, the colour hash table, the match
  // cache, the reduced image, the error row and the writer's row table.
  const DescriptorItems palette{{Key("Type"), 1}, {Key("Dthr"), 1}, {Key("UAlC"), 1}};
  EXPECT_GE(SweepAllocations(NoisyImage(kModeRGB, 4, 23, 17, 7), palette, "RGBA as Palette with Diffusion"), 6);
  // Key colour and Noise: another route through the same buffers.
  const DescriptorItems keyColor{{Key("Type"), 1}, {Key("Dthr"), 3}, {Key("UAlC"), 0}, {Key("UCCl"), 1}};
  SweepAllocations(NoisyImage(kModeRGB, 4, 9, 31, 11), keyColor, "RGBA as Palette with key colour and Noise");
  // CMYK with a fifth plane as RGB with alpha: the image, byteCMYK, the reduced image, the row table.
  EXPECT_GE(SweepAllocations(NoisyImage(kModeCMYK, 5, 13, 11, 3), {{Key("Type"), 2}}, "CMYK as RGB"), 4);
  // Gray as Palette (the gray ramp) and indexed as Grayscale.
  SweepAllocations(NoisyImage(kModeGrayScale, 2, 19, 5, 5), {{Key("Type"), 1}}, "gray as Palette");
  SweepAllocations(NoisyImage(kModeIndexed, 1, 8, 8, 9), {{Key("Type"), 0}}, "indexed as Grayscale");
}

TEST_F(AllocationFaultTest, APreviewBufferThatCannotBeHadIsEmptyAndHoldsNothing) {
  const int32_t live = faults::LivePageBlocks();
  faults::FailNthPageAllocation(1);
  PageBlock refused(4096);
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.data(), nullptr);
  EXPECT_EQ(refused.size(), 0u);
  EXPECT_EQ(faults::LivePageBlocks(), live);
  PageBlock granted(4096);  // the failure was for one allocation only
  ASSERT_TRUE(granted);
  EXPECT_EQ(faults::LivePageBlocks(), live + 1);
  granted = std::move(refused);  // moving the empty one in gives the old block back
  EXPECT_FALSE(granted);
  EXPECT_EQ(faults::LivePageBlocks(), live);
}

// ---------------------------------------------------------------------------------------------------------------
// Files

TEST_F(FaultTest, AHostThatAsksToAbortStopsTheSaveAtOnceWithNothingLeft) {
  // 16 rows: 16 steps of the reduction, 16 of the encoding, 1 block of the copy; the abort callback is asked at
  // each, and from its N-th call on it answers yes.
  const HostImage image = NoisyImage(kModeRGB, 3, 20, 16, 7);
  FakeHostOptions unattended;
  unattended.playInfo = kPlayDialogSilent;
  const Outcome whole = Save(image, unattended);
  ASSERT_EQ(whole.result, 0);
  for (const int from : {1, 2, 16, 17, 31, 32, 33}) {
    FakeHostOptions options = unattended;
    options.abortAfter = from;
    const Outcome outcome = Save(image, options);
    const std::string what = "abort from call " + std::to_string(from);
    EXPECT_EQ(outcome.result, kUserCanceledErr) << what;
    ExpectFailedAndUntouched(outcome, what);
    EXPECT_EQ(outcome.dialogOpened, 0) << what;
  }
  // Asked 33 times only: a "yes" from the 34th call on never comes.
  FakeHostOptions late = unattended;
  late.abortAfter = 34;
  const Outcome saved = Save(image, late);
  EXPECT_EQ(saved.result, 0);
  EXPECT_EQ(saved.destination, whole.destination);

  // With the dialog, the host's abort stops the reduction before the dialog opens; the dialog itself has Cancel.
  FakeHostOptions withDialog;
  withDialog.abortAfter = 3;
  const Outcome early = Save(image, withDialog);
  ExpectFailedAndUntouched(early, "abort before the dialog");
  EXPECT_EQ(early.dialogOpened, 0);
}

TEST_F(FaultTest, AHostFileThatRefusesPartWayThroughTheCopyIsAWriteError) {
  const HostImage image = NoisyImage(kModeRGB, 3, 16, 16, 21);
  const Outcome whole = Save(image);
  ASSERT_EQ(whole.result, 0);
  ASSERT_GT(whole.destination.size(), 200u);

  // Refused at the first byte, inside the file's one block, and with only the last byte missing. The block is
  // refused whole, so nothing is written (with more blocks, those before the refusal would stay: the plug-in
  // has no way to shorten the host's file again).
  const int64_t size = static_cast<int64_t>(whole.destination.size());
  for (const int64_t room : {int64_t{0}, int64_t{17}, int64_t{80}, size - 1}) {
    FakeHostOptions options;
    options.destinationRefusesAfter = room;
    const Outcome outcome = Save(image, options);
    const std::string what = "room for " + std::to_string(room) + " of " + std::to_string(size) + " bytes";
    EXPECT_EQ(outcome.result, kWriteErr) << what;
    EXPECT_EQ(outcome.destination, "") << what;
    ExpectCleanEnd(outcome, what);
  }

  // Room for exactly the PNG: saved.
  FakeHostOptions exact;
  exact.destinationRefusesAfter = size;
  const Outcome saved = Save(image, exact);
  EXPECT_EQ(saved.result, 0);
  EXPECT_EQ(saved.destination, whole.destination);
}

TEST_F(FaultTest, ADiskThatFillsUpWhileTheTemporaryPngIsWrittenIsAWriteError) {
  if (!faults::LimitFileWrites(-1)) GTEST_SKIP() << "this build cannot fake a full disk";
  const HostImage image = NoisyImage(kModeRGB, 3, 64, 64, 33);
  const Outcome whole = Save(image);
  ASSERT_EQ(whole.result, 0);
  const int64_t size = static_cast<int64_t>(whole.destination.size());
  ASSERT_GT(size, 8192);  // more than one buffer of the C library, so the disk fills both mid-stream and at the end

  // Full from the start, after the signature, in the middle, and one byte short (which only the final flush of
  // the stream can find out).
  for (const int64_t room : {int64_t{0}, int64_t{8}, size / 2, size - 1}) {
    ASSERT_TRUE(faults::LimitFileWrites(room));
    const Outcome outcome = Save(image);
    faults::LimitFileWrites(-1);
    const std::string what = "disk room for " + std::to_string(room) + " of " + std::to_string(size) + " bytes";
    EXPECT_EQ(outcome.result, kWriteErr) << what;
    EXPECT_EQ(outcome.dialogOpened, 1) << what;
    EXPECT_EQ(DialogSeen.compressedSize, 0) << what << ": the size line shows 0 Bytes for a failed encoding";
    ExpectFailedAndUntouched(outcome, what);
  }

  ASSERT_TRUE(faults::LimitFileWrites(size));
  const Outcome saved = Save(image);
  EXPECT_EQ(saved.result, 0);
  EXPECT_EQ(saved.destination, whole.destination);
}

TEST_F(FaultTest, ATemporaryFileThatCannotBeCreatedIsAWriteErrorAndNothingInTheWayIsRemoved) {
  const HostImage image = NoisyImage(kModeRGB, 3, 6, 5, 2);

  // The destination's folder cannot take a new file. Tests run as root, which ignores permissions, so the host
  // names a folder that is really a file: nothing can be created inside it.
  {
    const std::string notAFolder = File("not-a-folder");
    WriteText(notAFolder, "a file");
    const std::u16string named = platform::FromUtf8(notAFolder + "/out.png");
    const Outcome outcome = Save(image, {}, {}, [&named](FakeHost& host) {
      host.Record().fileSpec2->mReference = reinterpret_cast<uint16_t*>(const_cast<char16_t*>(named.c_str()));
    });
    EXPECT_EQ(outcome.result, kWriteErr);
    EXPECT_EQ(outcome.dialogOpened, 1);
    ExpectFailedAndUntouched(outcome, "folder that is a file");
    EXPECT_EQ(Contents(notAFolder), "a file");
  }

  // The ".temp" name is taken by something that cannot be opened for writing. On Windows that is a read-only
  // file; as root here a read-only file would simply be written, so a folder takes the name instead.
  {
    std::filesystem::create_directory(std::filesystem::u8path(File("out.png.temp")));
    WriteText(File("out.png.temp/inside"), "kept");
    const Outcome outcome = Save(image);
    EXPECT_EQ(outcome.result, kWriteErr);
    ExpectFailedAndUntouched(outcome, "a folder named like the temporary file");
    EXPECT_EQ(Contents(File("out.png.temp/inside")), "kept");
  }
}

TEST_F(FaultTest, AFinishedTemporaryPngThatCannotBeOpenedForTheCopyIsAWriteErrorAndIsDeleted) {
  const HostImage image = NoisyImage(kModeRGB, 3, 6, 5, 8);
  FakeHostOptions unattended;
  unattended.playInfo = kPlayDialogSilent;
  // Saved from the dialog and without it: the PNG is encoded whole, only the copy cannot read it.
  for (const FakeHostOptions& options : {FakeHostOptions{}, unattended}) {
    const std::string what = options.playInfo == kPlayDialogSilent ? "without the dialog" : "from the dialog";
    faults::FailOpening(platform::FromUtf8(File("out.png.temp")), "rb");
    const Outcome outcome = Save(image, options);
    faults::FailOpening({}, "");
    // The encoding was whole: after a failed one the copy would not even try to open the file.
    EXPECT_TRUE(EndsWith(Contents(File("VexlorinLog.txt")), "Save file\npng file open failed\n")) << what;
    EXPECT_EQ(outcome.result, kWriteErr) << what;
    ExpectFailedAndUntouched(outcome, what);
  }
}

// ---------------------------------------------------------------------------------------------------------------
// The host

TEST_F(FaultTest, AHostThatRefusesDuringAcquisitionLeavesTheFileEmptyAndNoMemoryBehind) {
  struct Case {
    const char* what;
    HostImage image;
    FakeHostOptions options;
    OSErr expected;
  };
  std::vector<Case> cases;
  for (int plane = 0; plane < 4; ++plane) {
    FakeHostOptions options;
    options.advanceStateFailPlane = plane;
    options.advanceStateFailCode = kIoErr;
    cases.push_back({"advance state failing on an RGBA plane", NoisyImage(kModeRGB, 4, 5, 4, 1), options, kIoErr});
  }
  for (int plane = 0; plane < 5; ++plane) {
    FakeHostOptions options;
    options.advanceStateFailPlane = plane;
    options.advanceStateFailCode = kUserCanceledErr;  // the user pressed Escape while the host fetched
    cases.push_back(
        {"advance state failing on a CMYK plane", NoisyImage(kModeCMYK, 5, 5, 4, 1), options, kUserCanceledErr});
  }
  {
    FakeHostOptions options;
    options.refusedSuites = {kColorSpaceSuiteName};
    cases.push_back({"no ColorSpace suite", NoisyImage(kModeCMYK, 4, 5, 4, 1), options, kUserCanceledErr});
  }
  {
    FakeHostOptions options;
    options.bufferNewRefuses = true;
    cases.push_back({"the Buffer suite refusing", NoisyImage(kModeRGB, 3, 5, 4, 1), options, kUserCanceledErr});
  }
  {
    FakeHostOptions options;
    options.refusedSuites = {kBufferSuiteName};
    cases.push_back({"no Buffer suite", NoisyImage(kModeGrayScale, 1, 5, 4, 1), options, kHostInsufficient});
  }
  for (const Case& each : cases) {
    const std::string what = std::string(each.what) + " " + std::to_string(each.options.advanceStateFailPlane);
    const Outcome outcome = Save(each.image, each.options);
    EXPECT_EQ(outcome.result, each.expected) << what;
    EXPECT_EQ(outcome.dialogOpened, 0) << what;
    ExpectFailedAndUntouched(outcome, what);
  }
}

// ---------------------------------------------------------------------------------------------------------------
// The settings file

TEST_F(FaultTest, SettingsFilesThatAreNotSettingsStillLetTheSaveRun) {
  const HostImage image = NoisyImage(kModeRGB, 3, 7, 6, 4);
  const std::string settings = File("Vexlorin.ini");

  const Outcome defaults = Save(image);
  ASSERT_EQ(defaults.result, 0);
  ASSERT_EQ(ColorTypeOf(defaults.destination), 2);  // RGB by default

  // A folder in the file's place, an empty file, and binary garbage: the defaults stand. (The first save wrote
  // the settings file, as every save whose dialog closes does.)
  ASSERT_TRUE(IsRegularFile(settings));
  std::filesystem::remove(std::filesystem::u8path(settings));
  std::filesystem::create_directory(std::filesystem::u8path(settings));
  Outcome outcome = Save(image);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.destination, defaults.destination);
  ExpectCleanEnd(outcome, "settings folder");
  std::filesystem::remove(std::filesystem::u8path(settings));

  WriteText(settings, "");
  outcome = Save(image);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.destination, defaults.destination);

  std::mt19937 random(20240611);
  std::string garbage(64 * 1024, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random());
  WriteText(settings, garbage);
  outcome = Save(image);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_GE(ColorTypeOf(outcome.destination), 0);
  ExpectCleanEnd(outcome, "garbage settings");
}

TEST_F(FaultTest, AHundredMegabyteSettingsFileIsReadInBoundedTimeAndItsGoodLinesCount) {
  const HostImage image = NoisyImage(kModeRGB, 3, 7, 6, 4);
  const std::string settings = File("Vexlorin.ini");
  // A good line, one line of 100 MB with no ending anywhere in it, and good lines after it: the long line is
  // dropped, the others are read (gray, then no dither and a red fill).
  {
    std::FILE* file = std::fopen(settings.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("epyT 0\n", file);
    const std::string chunk(1 << 20, 'x');
    for (int i = 0; i < 100; ++i) ASSERT_EQ(std::fwrite(chunk.data(), 1, chunk.size(), file), chunk.size());
    std::fputs("\nrhtD 0\nlClF 255\n", file);
    ASSERT_EQ(std::fclose(file), 0);
  }
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = Save(image);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(ColorTypeOf(outcome.destination), 0);
  ExpectCleanEnd(outcome, "100 MB settings");
  // The file is read block by block: memory does not follow its length. (The peak only ever rises, so a larger
  // peak from an earlier test in the same process could hide a rise here, never fake one.)
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32L * 1024) << "KiB";
  // A figure for people, not a check: the time depends on the machine.
  std::printf("100 MB settings file: save took %.0f ms, peak resident memory grew by %ld KiB\n",
              std::chrono::duration<double, std::milli>(elapsed).count(), after.ru_maxrss - before.ru_maxrss);
}

TEST_F(FaultTest, TheFileIsReadAsTheWholeOfItWouldBeParsedWhereverItsBlocksEnd) {
  // Lines of every length around the longest the reader keeps (1023 bytes with the ending) and around the read
  // blocks, with tabs, both line endings, bytes of 128 and more, keys and comments; seeded, so it repeats.
  const char* const lines[] = {"tfeL 12", "epyT 1", "laPN 16", "\tlClF\t255", ";rhtD 2", "rhtD 3", "CClU 0"};
  const std::string settings = File("Vexlorin.ini");
  PluginDir = platform::FromUtf8(folder_.Path().u8string() + "/");
  std::mt19937 random(77);
  for (int round = 0; round < 60; ++round) {
    std::string text;
    while (text.size() < 12000) {
      std::string line = lines[random() % 7];
      const uint32_t kind = random() % 4;
      if (kind == 0) line += std::string(1015 + random() % 16 - line.size() % 8, random() % 2 ? ' ' : '\t');
      if (kind == 1) line += std::string(random() % 3000, 'x');
      if (kind == 2) line += "\xC3\xA9 after a high byte";
      text += line;
      text += random() % 3 == 0 ? "\r\n" : "\n";
    }
    if (random() % 2) text += "laPN 8";  // a last line without an ending
    WriteText(settings, text);
    ResetSaveOptions();
    SaveOptionsRecord expected = SaveOptions;
    ParseSettings(text, expected);
    LoadSettings();
    EXPECT_EQ(FormatSettings(SaveOptions), FormatSettings(expected)) << "round " << round;
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Size limits

TEST_F(FaultTest, ImagesTooLargeForTheProcessAreRefusedBeforeAnythingIsAllocated) {
  // The fake host holds a 1 x 1 image but claims the size below; a refusal must come before any pixel is asked
  // for, any host buffer is borrowed or any page is allocated.
  struct Claim {
    const char* what;
    int16_t mode;
    int16_t planes;
    int32_t columns;
    int32_t rows;
  };
  const Claim claims[] = {
      {"2^30 x 2^30 gray: 1 EiB", kModeGrayScale, 1, 1 << 30, 1 << 30},
      {"2^31-1 x 2^31-1 RGBA", kModeRGB, 4, INT32_MAX, INT32_MAX},
      {"a row too wide for a 32-bit row size", kModeGrayScale, 1, 1 << 29, 1},
      {"a row of CMYK planes too wide for a 32-bit stride", kModeCMYK, 16, 1 << 27, 1},
  };
  for (const Claim& claim : claims) {
    HostImage image = PatternImage(claim.mode, claim.planes, 1, 1);
    faults::FailNthPageAllocation(0);
    const Outcome outcome = Save(image, {}, {}, [&claim](FakeHost& host) {
      host.Record().imageSize32 = VPoint{claim.rows, claim.columns};
    });
    EXPECT_EQ(outcome.result, kMemFullErr) << claim.what;
    EXPECT_EQ(faults::PageAllocationCalls(), 0) << claim.what;
    EXPECT_EQ(outcome.hostBuffersLent, 0) << claim.what;
    EXPECT_EQ(outcome.advanceStateCalls, 0) << claim.what;
    EXPECT_EQ(outcome.dialogOpened, 0) << claim.what;
    ExpectFailedAndUntouched(outcome, claim.what);
  }
}

TEST(ImageSizeRule, TheLargestImageFitsA64BitProcessAndIsRefusedWhereItCannot) {
  const uint64_t process = platform::AddressSpaceBytes();
  EXPECT_TRUE(process == kThirtyTwoBitProcess || process == uint64_t{1} << 47);
  // 32767 x 32767: 1 GiB per plane.
  const uint64_t wide = uint64_t{1} << 47;
  for (int32_t planes : {1, 2, 3, 4, 5}) {
    EXPECT_TRUE(ImageFitsInMemory(kLargestSide, kLargestSide, planes, false, wide)) << planes;
    if (planes >= 4) {
      EXPECT_TRUE(ImageFitsInMemory(kLargestSide, kLargestSide, planes, true, wide)) << planes;
    }
    // The image and the reduced image together pass 2 GiB.
    EXPECT_FALSE(ImageFitsInMemory(kLargestSide, kLargestSide, planes, false, kThirtyTwoBitProcess)) << planes;
  }
  // In a 32-bit process: 10000 x 10000 RGBA needs 0.1 + 0.4 GB to fetch and 0.4 + 0.4 GB to reduce.
  EXPECT_TRUE(ImageFitsInMemory(10000, 10000, 4, false, kThirtyTwoBitProcess));
  // CMYK with alpha adds byteCMYK (0.5 GB) while fetching: 0.1 + 0.4 + 0.5.
  EXPECT_TRUE(ImageFitsInMemory(10000, 10000, 5, true, kThirtyTwoBitProcess));
  // 20000 x 20000 RGBA: 1.6 GB for the image and 1.6 GB for the reduced image.
  EXPECT_FALSE(ImageFitsInMemory(20000, 20000, 4, false, kThirtyTwoBitProcess));
  // Exactly at the edge: one byte of room too few.
  const uint64_t need = 1000ull * 1000 * 3 + 1000ull * 1002 * 3;  // image + reduced RGB
  EXPECT_TRUE(ImageFitsInMemory(1000, 1000, 3, false, need));
  EXPECT_FALSE(ImageFitsInMemory(1000, 1000, 3, false, need - 1));
  // A 16-bit document is held at 16 and at 8 bits: 9 MB besides the reduced image's 3 MB.
  const uint64_t need16 = 1000ull * 1000 * 3 * 3 + 1000ull * 1002 * 3;
  EXPECT_TRUE(ImageFitsInMemory(1000, 1000, 3, false, need16, 16));
  EXPECT_FALSE(ImageFitsInMemory(1000, 1000, 3, false, need16 - 1, 16));
  // Rows must fit the 32-bit row sizes whatever the memory, the host's 16-bit row twice as long.
  EXPECT_TRUE(ImageFitsInMemory((INT32_MAX - 7) / 8, 1, 1, false, wide));
  EXPECT_FALSE(ImageFitsInMemory((INT32_MAX - 7) / 8 + 1, 1, 1, false, wide));
  EXPECT_FALSE(ImageFitsInMemory((INT32_MAX - 7) / 8, 1, 1, false, wide, 16));
  EXPECT_FALSE(ImageFitsInMemory(1 << 20, 1, 4096, false, wide));
  // Nothing to hold is never too much.
  EXPECT_TRUE(ImageFitsInMemory(0, 0, 4, false, kThirtyTwoBitProcess));
}

TEST(FileSize, TheSizeLineCountsAnImageOf4GiBWithoutWrapping) {
  // 32767 x 32767 RGBA: 4,294,705,156 bytes, more than 2^31.
  const int64_t original = int64_t{4} * kLargestSide * kLargestSide;
  EXPECT_EQ(FileSizeLine(original, 0), "\n\r   File Size (Original/Compressed): 4294.705 MBytes / 0 Bytes");
}

TEST(FileSize, ATemporaryFileThatCannotBeMeasuredIsNotCopiedAsNothing) {
  // A pipe has no size: seeking in it fails.
  int ends[2] = {-1, -1};
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_EQ(write(ends[1], "\x89PNG", 4), 4);
  close(ends[1]);
  std::FILE* source = fdopen(ends[0], "rb");
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(platform::FileSizeOf(source), -1);
  TempFolder folder;
  std::FILE* destination = std::fopen(folder.File("out.png").c_str(), "wb");
  ASSERT_NE(destination, nullptr);
  EXPECT_EQ(ResultCode(CopyIntoHostFile(source, fileno(destination))), kWriteErr);
  std::fclose(source);
  std::fclose(destination);
}

TEST(FileSize, AFileOf2GiBAndMoreIsNotMeasuredAsASmallOne) {
  TempFolder folder;
  const std::string path = folder.File("sparse.bin");
  // Sparse files: the sizes cost no disk.
  for (const int64_t size : {int64_t{INT32_MAX}, int64_t{INT32_MAX} + 1, (int64_t{1} << 32) + 100}) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(fseeko(file, static_cast<off_t>(size - 1), SEEK_SET), 0);
    ASSERT_EQ(std::fputc('x', file), 'x');
    ASSERT_EQ(std::fclose(file), 0);
    file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fseek(file, 5, SEEK_SET), 0);
    EXPECT_EQ(platform::FileSizeOf(file), size <= INT32_MAX ? static_cast<int32_t>(size) : -1) << size;
    EXPECT_EQ(std::ftell(file), 5) << size;  // the position is kept
    std::fclose(file);
  }
}

}  // namespace
