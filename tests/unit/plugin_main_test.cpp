// The entry point and the save as the host sees them: selector dispatch, the host check, the data block,
// the estimate, filter file and the write-start save into the host's file.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host_call.h"
#include "host/plugin_main.h"
#include "records/save_options.h"
#include "tests/support/plugin_host_fixture.h"

namespace {

// Stands between the plug-in and the fake host's Handle suite to see what the fake host does not count:
// every SetLock (1 lock, 0 unlock) in order. New hands out blocks full of 0xAB, so a zeroed block shows the
// plug-in cleared it.
namespace handle_spy {

const SPBasicSuite* realBasic = nullptr;
const PSHandleSuite2* realHandles = nullptr;
PSHandleSuite2 handles{};
SPBasicSuite basic{};
std::vector<int> setLocks;

Handle New(int32_t size) {
  Handle block = realHandles->New(size);
  if (block != nullptr) std::memset(*block, 0xAB, static_cast<size_t>(size));
  return block;
}

void SetLock(Handle handle, PIBoolean lock, char** address, PIBoolean* oldLock) {
  setLocks.push_back(lock != 0 ? 1 : 0);
  realHandles->SetLock(handle, lock, address, oldLock);
}

SPErr Acquire(const char* name, int32_t version, const void** suite) {
  const SPErr error = realBasic->AcquireSuite(name, version, suite);
  if (error == kSPNoError && std::strcmp(name, kHandleSuiteName) == 0) {
    realHandles = static_cast<const PSHandleSuite2*>(*suite);
    handles = *realHandles;
    handles.New = New;
    handles.SetLock = SetLock;
    *suite = &handles;
  }
  return error;
}

void Install(FakeHost& host) {
  realBasic = host.Record().sSPBasic;
  basic = *realBasic;
  basic.AcquireSuite = Acquire;
  host.Record().sSPBasic = &basic;
  setLocks.clear();
}

}  // namespace handle_spy

HostImage SmallRgb() { return PatternImage(kModeRGB, 3, 6, 5); }

// Pseudo-random samples: they compress badly, so a large enough image spans more than one block of the copy.
HostImage NoisyRgb(int32_t width, int32_t height) {
  HostImage image = PatternImage(kModeRGB, 3, width, height);
  uint32_t state = 12345;
  for (uint8_t& sample : image.planar) {
    state = state * 1103515245u + 12345u;
    sample = static_cast<uint8_t>(state >> 16);
  }
  return image;
}

// A path of exactly `length` characters: nested folders of at most 200 characters (created here) and a file
// name that makes up the rest.
std::string PathOfLength(const std::filesystem::path& base, size_t length) {
  std::string path = base.string();
  while (length - path.size() > 200 + 1 + 20) {
    path += "/" + std::string(200, 'd');
    std::filesystem::create_directory(path);
  }
  const size_t nameLength = length - path.size() - 1;
  path += "/" + std::string(nameLength - 4, 'f') + ".png";
  return path;
}

class EntryTest : public PluginHostTest {};

TEST_F(EntryTest, PhaseEndsReleaseTheSuitesAndOtherSelectorsKeepThem) {
  for (int16_t selector : {1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 15, 18, 40, -3}) {
    FakeHost host(SmallRgb());
    EXPECT_EQ(host.Call(PluginMain, selector), 0) << selector;
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, 1) << selector;
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 0) << selector;
    ForgetHeldSuites();
  }
  for (int16_t selector : {4, 8, 12, 16, 17}) {
    FakeHost host(SmallRgb());
    ASSERT_TRUE(host.SetDestination(File("release.png")));
    EXPECT_EQ(host.Call(PluginMain, selector), 0) << selector;
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, 1) << selector;
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 1) << selector;
  }

  // A whole save holds its suites from write prepare to write finish: acquired once, released once, at the end.
  FakeHost host(SmallRgb());
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  EXPECT_EQ(host.Call(PluginMain, kSelectorWritePrepare), 0);
  EXPECT_EQ(host.Call(PluginMain, kSelectorWriteStart), 0);
  EXPECT_EQ(host.Call(PluginMain, kSelectorWriteContinue), 0);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 0);
  EXPECT_EQ(host.SuiteUseOf(kBufferSuiteName).released, 0);
  EXPECT_EQ(host.Call(PluginMain, kSelectorWriteFinish), 0);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, 1);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 1);
  EXPECT_EQ(host.SuiteUseOf(kBufferSuiteName).acquired, 1);
  EXPECT_EQ(host.SuiteUseOf(kBufferSuiteName).released, 1);
}

TEST_F(EntryTest, AFailedWriteStartReleasesTheSuitesAtOnce) {
  DialogScript.cancel = true;
  FakeHost host(SmallRgb());
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  EXPECT_EQ(host.Call(PluginMain, kSelectorWritePrepare), 0);
  EXPECT_EQ(host.Call(PluginMain, kSelectorWriteStart), kUserCanceledErr);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, 1);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 1);
  EXPECT_EQ(host.SuiteUseOf(kBufferSuiteName).acquired, 1);
  EXPECT_EQ(host.SuiteUseOf(kBufferSuiteName).released, 1);
}

TEST_F(EntryTest, PrepareAndOptionsStartClearWhatTheHostOffered) {
  FakeHost host(SmallRgb());
  int marker = 0;
  for (int16_t selector : {kSelectorOptionsPrepare, kSelectorEstimatePrepare, kSelectorWritePrepare}) {
    host.Record().maxData = 123456;
    host.Record().data = &marker;
    EXPECT_EQ(host.Call(PluginMain, selector), 0) << selector;
    EXPECT_EQ(host.Record().maxData, 0) << selector;
    EXPECT_EQ(host.Record().data, &marker) << selector;
  }

  host.Record().maxData = 123456;
  EXPECT_EQ(host.Call(PluginMain, kSelectorOptionsStart), 0);
  EXPECT_EQ(host.Record().data, nullptr);
  EXPECT_EQ(host.Record().maxData, 123456);

  // Selectors without a handler touch neither.
  host.Record().data = &marker;
  for (int16_t selector : {1, 2, 3, 4, 7, 8, 11, 12, 15, 40}) {
    EXPECT_EQ(host.Call(PluginMain, selector), 0) << selector;
    EXPECT_EQ(host.Record().maxData, 123456) << selector;
    EXPECT_EQ(host.Record().data, &marker) << selector;
  }
}

TEST_F(EntryTest, AHostWithoutAdvanceStateOrAResourceCallbackIsInsufficient) {
  struct Gap {
    const char* name;
    void (*apply)(FormatRecord&, ResourceProcs&);
  };
  const Gap gaps[] = {
      {"no advance state", [](FormatRecord& r, ResourceProcs&) { r.advanceState = nullptr; }},
      {"no resource procs", [](FormatRecord& r, ResourceProcs&) { r.resourceProcs = nullptr; }},
      {"no count",
       [](FormatRecord& r, ResourceProcs& p) {
         p.countProc = nullptr;
         r.resourceProcs = &p;
       }},
      {"no get",
       [](FormatRecord& r, ResourceProcs& p) {
         p.getProc = nullptr;
         r.resourceProcs = &p;
       }},
      {"no add",
       [](FormatRecord& r, ResourceProcs& p) {
         p.addProc = nullptr;
         r.resourceProcs = &p;
       }},
  };
  int marker = 0;
  for (const Gap& gap : gaps) {
    FakeHost host(SmallRgb());
    ASSERT_TRUE(host.SetDestination(File("out.png")));
    ResourceProcs procs = *host.Record().resourceProcs;
    gap.apply(host.Record(), procs);
    for (int16_t selector = 1; selector <= 18; ++selector) {
      host.Record().maxData = 777;
      host.Record().data = &marker;
      EXPECT_EQ(host.Call(PluginMain, selector), kHostInsufficient) << gap.name << ", selector " << selector;
      // No handler ran: prepare would have cleared maxData, options start the data pointer.
      EXPECT_EQ(host.Record().maxData, 777) << gap.name << ", selector " << selector;
      EXPECT_EQ(host.Record().data, &marker) << gap.name << ", selector " << selector;
    }
    EXPECT_EQ(host.DataSlot(), 0) << gap.name;
    EXPECT_EQ(host.Seen().advanceStateCalls, 0) << gap.name;
    EXPECT_TRUE(host.Seen().suites.empty()) << gap.name;
    EXPECT_EQ(DialogSeen.opened, 0) << gap.name;
    EXPECT_EQ(Contents(File("out.png")), "") << gap.name;
    const int aboutShown = DialogSeen.aboutShown;
    EXPECT_EQ(host.About(PluginMain), 0) << gap.name;
    EXPECT_EQ(DialogSeen.aboutShown, aboutShown + 1) << gap.name;
  }

  // Suites held from an earlier call of the save stay held, even at a phase end.
  FakeHost host(SmallRgb());
  EXPECT_EQ(host.Call(PluginMain, kSelectorWritePrepare), 0);
  ASSERT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, 1);
  host.Record().advanceState = nullptr;
  EXPECT_EQ(host.Call(PluginMain, kSelectorWriteFinish), kHostInsufficient);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 0);
  EXPECT_EQ(host.Seen().writeOpens, 0);
}

TEST_F(EntryTest, ThirtyTwoBitCoordinatesAreUsedOnlyWhenTheHostOffersThem) {
  FakeHost offering(SmallRgb());
  EXPECT_EQ(offering.Record().PluginUsing32BitCoordinates, 0);
  EXPECT_EQ(offering.Call(PluginMain, kSelectorReadPrepare), 0);
  EXPECT_EQ(offering.Record().PluginUsing32BitCoordinates, 1);
  ForgetHeldSuites();

  FakeHostOptions options;
  options.supports32BitCoordinates = false;
  FakeHost notOffering(SmallRgb(), options);
  EXPECT_EQ(notOffering.Call(PluginMain, kSelectorReadPrepare), 0);
  EXPECT_EQ(notOffering.Record().PluginUsing32BitCoordinates, 0);
}

TEST_F(EntryTest, TheDataBlockIsMadeOnceZeroedAndKeptAsItIs) {
  FakeHost host(SmallRgb());
  handle_spy::Install(host);
  EXPECT_EQ(host.Call(PluginMain, kSelectorReadPrepare), 0);
  const Handle block = reinterpret_cast<Handle>(host.DataSlot());
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(host.Seen().handles.IsLive(block));
  EXPECT_EQ(host.Seen().handles.NewCount(), 1);
  EXPECT_EQ(host.Seen().handles.GetSize(block), 2);
  EXPECT_EQ(host.Seen().handles.Bytes(block), (std::vector<char>{0, 0}));
  // Created: locked, locked for the call, unlocked after it.
  EXPECT_EQ(handle_spy::setLocks, (std::vector<int>{1, 1, 0}));

  (*block)[0] = 0x5A;
  (*block)[1] = 0x3C;
  handle_spy::setLocks.clear();
  EXPECT_EQ(host.Call(PluginMain, kSelectorReadStart), 0);
  EXPECT_EQ(host.DataSlot(), reinterpret_cast<intptr_t>(block));
  EXPECT_EQ(host.Seen().handles.NewCount(), 1);
  EXPECT_EQ(host.Seen().handles.Bytes(block), (std::vector<char>{0x5A, 0x3C}));
  EXPECT_EQ(handle_spy::setLocks, (std::vector<int>{1, 0}));
}

TEST_F(EntryTest, ADataBlockThatCannotBeHadEndsTheCallWithoutAHandler) {
  {
    FakeHostOptions options;
    options.handleNewFails = true;
    FakeHost host(SmallRgb(), options);
    host.Record().maxData = 777;
    EXPECT_EQ(host.Call(PluginMain, kSelectorOptionsPrepare), kMemFullErr);
    EXPECT_EQ(host.Record().maxData, 777);
    EXPECT_EQ(host.DataSlot(), 0);
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, 1);
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 0);
    ForgetHeldSuites();
  }
  {
    FakeHostOptions options;
    options.handleLockGivesNoAddress = true;
    FakeHost host(SmallRgb(), options);
    handle_spy::Install(host);
    host.Record().maxData = 777;
    EXPECT_EQ(host.Call(PluginMain, kSelectorOptionsPrepare), kMemFullErr);
    EXPECT_EQ(host.Record().maxData, 777);
    EXPECT_EQ(handle_spy::setLocks, (std::vector<int>{1}));  // never unlocked after a failed lock
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 0);
    // The block exists now; the next call's lock fails the same way.
    handle_spy::setLocks.clear();
    EXPECT_EQ(host.Call(PluginMain, kSelectorOptionsPrepare), kMemFullErr);
    EXPECT_EQ(host.Record().maxData, 777);
    EXPECT_EQ(host.Seen().handles.NewCount(), 1);
    EXPECT_EQ(handle_spy::setLocks, (std::vector<int>{1}));
    ForgetHeldSuites();
  }
  {
    FakeHostOptions options;
    options.refusedSuites = {kHandleSuiteName};
    FakeHost host(SmallRgb(), options);
    host.Record().maxData = 777;
    EXPECT_EQ(host.Call(PluginMain, kSelectorOptionsPrepare), kHostInsufficient);
    EXPECT_EQ(host.Record().maxData, 777);
    EXPECT_EQ(host.DataSlot(), 0);
    EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).refused, 1);
    ASSERT_TRUE(host.SetDestination(File("refused.png")));
    EXPECT_EQ(host.Save(PluginMain), kHostInsufficient);
    EXPECT_EQ(DialogSeen.opened, 0);
  }
  {
    FakeHostOptions options;
    options.noBasicSuite = true;
    FakeHost host(SmallRgb(), options);
    EXPECT_NE(host.Call(PluginMain, kSelectorOptionsPrepare), 0);
    EXPECT_EQ(host.DataSlot(), 0);
  }
}

TEST_F(EntryTest, EstimateAsksForTheImageTheResourcesAndTheHeader) {
  FakeHost host(PatternImage(kModeRGB, 3, 100, 100));
  int marker = 0;
  host.Record().data = &marker;
  EXPECT_EQ(host.Estimate(PluginMain), 0);
  EXPECT_EQ(host.Record().minDataBytes, 30036);
  EXPECT_EQ(host.Record().maxDataBytes, 30036);
  EXPECT_EQ(host.Record().data, nullptr);

  host.Record().imageRsrcSize = 500;
  EXPECT_EQ(host.Estimate(PluginMain), 0);
  EXPECT_EQ(host.Record().minDataBytes, 30536);

  // Beyond 16-bit coordinates: 40000 x 1 x 3 + 36 with them, the host's clamped 32767 columns without.
  FakeHost wide(PatternImage(kModeRGB, 3, 40000, 1));
  EXPECT_EQ(wide.Estimate(PluginMain), 0);
  EXPECT_EQ(wide.Record().maxDataBytes, 120036);
  FakeHostOptions options;
  options.supports32BitCoordinates = false;
  FakeHost narrow(PatternImage(kModeRGB, 3, 40000, 1), options);
  EXPECT_EQ(narrow.Estimate(PluginMain), 0);
  EXPECT_EQ(narrow.Record().maxDataBytes, 98337);
}

TEST_F(EntryTest, FilterFileMovesTheHostsFileToItsStart) {
  FakeHost host(SmallRgb());
  const std::string output = File("filter.png");
  ASSERT_TRUE(host.SetDestination(output));
  const int file = static_cast<int>(host.Record().dataFork);
  ASSERT_EQ(write(file, "0123456789", 10), 10);
  EXPECT_EQ(host.Call(PluginMain, kSelectorFilterFile), 0);
  EXPECT_EQ(lseek(file, 0, SEEK_CUR), 0);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 1);
  host.CloseDestination();
  EXPECT_EQ(Contents(output), "0123456789");

  // No file to move: a write error.
  EXPECT_EQ(host.Call(PluginMain, kSelectorFilterFile), kWriteErr);
}

class SaveTest : public PluginHostTest {};

TEST_F(SaveTest, CancelDeletesTheTemporaryPngAndTheHostsFileStaysEmpty) {
  DialogScript.cancel = true;
  FakeHost host(SmallRgb());
  const std::string output = File("out.png");
  ASSERT_TRUE(host.SetDestination(output));
  uintmax_t temporarySize = 0;
  DialogScript.atOpen = [&] {
    if (IsRegularFile(output + ".temp"))
      temporarySize = std::filesystem::file_size(std::filesystem::u8path(output + ".temp"));
  };
  EXPECT_EQ(host.Save(PluginMain), kUserCanceledErr);
  EXPECT_GT(temporarySize, 0u);  // the dialog had a PNG to show
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output + ".temp")));
  host.CloseDestination();
  EXPECT_EQ(Contents(output), "");
  EXPECT_NE(Contents("VexlorinLog.txt").find("Press cancel\n"), std::string::npos);
}

TEST_F(SaveTest, TheDialogWritesTheSettingsFileAsItClosesAfterSaveAndCancelAlike) {
  for (const bool cancel : {false, true}) {
    ResetDialogDouble();
    std::filesystem::remove(std::filesystem::u8path(File("Vexlorin.ini")));
    DialogScript.cancel = cancel;
    DialogScript.atOpen = [] {  // what the user chose in the dialog
      SaveOptions.pngType = kPngPalette;
      SaveOptions.paletteColors = 16;
    };
    FakeHost host(SmallRgb());
    ASSERT_TRUE(host.SetDestination(File("out.png")));
    EXPECT_EQ(host.Save(PluginMain), cancel ? kUserCanceledErr : 0);
    host.CloseDestination();
    const std::string settings = Contents(File("Vexlorin.ini"));
    EXPECT_EQ(settings.rfind(";Parameters for Brindlewerks Vexlorin format plug-in\n", 0), 0u) << cancel;
    EXPECT_NE(settings.find("\nepyT 1 \t\t\t\t;Type of PNG\n"), std::string::npos) << cancel;
    EXPECT_NE(settings.find("\nlaPN 16 \t\t\t\t;Colors in Palette\n"), std::string::npos) << cancel;
    EXPECT_NE(settings.find("\nhtdW 800 \t\t\t\t;Width of window\n"), std::string::npos) << cancel;
  }
}

TEST_F(SaveTest, AFailedEncodingIsAWriteErrorAndTheHostsFileStaysEmpty) {
  FakeHost host(SmallRgb());
  const std::string output = File("out.png");
  ASSERT_TRUE(host.SetDestination(output));
  // A folder where the PNG should go: the encoder cannot create its file.
  std::filesystem::create_directory(std::filesystem::u8path(output + ".temp"));
  EXPECT_EQ(host.Save(PluginMain), kWriteErr);
  EXPECT_EQ(DialogSeen.opened, 1);
  EXPECT_EQ(DialogSeen.compressedSize, 0);
  EXPECT_FALSE(IsRegularFile(output + ".temp"));
  host.CloseDestination();
  EXPECT_EQ(Contents(output), "");
  EXPECT_EQ(host.Seen().buffers.LiveCount(), 0u);
}

TEST_F(SaveTest, ADestinationTooLongForTheTemporaryPathIsRefusedBeforeAnythingHappens) {
  // 2042 characters and ".temp" fill the 2048-unit buffer with its terminator: still saved.
  {
    FakeHost host(SmallRgb());
    const std::string longest = PathOfLength(folder_.Path(), 2042);
    ASSERT_EQ(longest.size(), 2042u);
    ASSERT_TRUE(host.SetDestination(longest));
    ASSERT_EQ(host.Record().fileSpec2->mReference[2042], 0);
    EXPECT_EQ(host.Save(PluginMain), 0);
    host.CloseDestination();
    EXPECT_EQ(Contents(longest).substr(0, 4), "\x89PNG");
    EXPECT_FALSE(std::filesystem::exists(longest + ".temp"));
  }
  ResetDialogDouble();
  {
    FakeHost host(SmallRgb());
    const std::string tooLong = PathOfLength(folder_.Path(), 2043);
    ASSERT_EQ(tooLong.size(), 2043u);
    ASSERT_TRUE(host.SetDestination(tooLong));
    EXPECT_EQ(host.Save(PluginMain), kFormatBadParameters);
    EXPECT_EQ(DialogSeen.opened, 0);
    EXPECT_EQ(host.Seen().advanceStateCalls, 0);
    EXPECT_EQ(host.Seen().buffers.NewCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(tooLong + ".temp"));
    host.CloseDestination();
    EXPECT_EQ(Contents(tooLong), "");
  }
}

TEST_F(SaveTest, TheHostsFileReceivesThePngFromItsStartAndTheCopyReportsEachBlock) {
  FakeHost host(NoisyRgb(200, 160));
  const std::string output = File("out.png");
  ASSERT_TRUE(host.SetDestination(output));
  // Whatever the host's file held before, the copy starts at its beginning.
  ASSERT_EQ(write(static_cast<int>(host.Record().dataFork), "junk", 4), 4);
  std::string shown;
  DialogScript.atOpen = [&] { shown = Contents(output + ".temp"); };
  EXPECT_EQ(host.Save(PluginMain), 0);
  host.CloseDestination();

  ASSERT_GT(shown.size(), 65536u);  // two blocks, the second one shorter
  EXPECT_EQ(Contents(output), shown);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output + ".temp")));
  const int32_t blocks = 2;
  const std::vector<ProgressReport>& progress = host.Seen().progress;
  ASSERT_GE(progress.size(), static_cast<size_t>(blocks));
  const size_t first = progress.size() - static_cast<size_t>(blocks);
  for (int32_t i = 0; i < blocks; ++i) {
    EXPECT_EQ(progress[first + i].done, i) << i;
    EXPECT_EQ(progress[first + i].total, blocks) << i;
  }
  EXPECT_EQ(host.Record().data, nullptr);
}

TEST_F(SaveTest, AHostFileThatCannotBeMovedStopsTheSaveAtOnce) {
  FakeHost host(SmallRgb());
  EXPECT_EQ(host.Save(PluginMain), kWriteErr);  // no destination: the move to 0 fails
  EXPECT_EQ(host.Seen().advanceStateCalls, 0);
  EXPECT_EQ(DialogSeen.opened, 0);
}

TEST_F(SaveTest, ADestinationInFoldersNamedInCyrillicAndChineseIsSaved) {
  const std::filesystem::path folder =
      folder_.Path() / std::filesystem::u8path("Пример") / std::filesystem::u8path("画像");
  std::filesystem::create_directories(folder);
  const std::string output = (folder / std::filesystem::u8path("картинка.png")).u8string();
  FakeHost host(SmallRgb());
  ASSERT_TRUE(host.SetDestination(output));
  bool temporaryBeside = false;
  DialogScript.atOpen = [&] { temporaryBeside = IsRegularFile(output + ".temp"); };
  EXPECT_EQ(host.Save(PluginMain), 0);
  host.CloseDestination();
  EXPECT_TRUE(temporaryBeside);
  EXPECT_EQ(Contents(output).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output + ".temp")));
}

}  // namespace
