// The fake host honours the host interface: selector order, suites, advance state, descriptors, destination.
#include "testhost/fake_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "testhost/host_files.h"
#include "testhost/tests/temp_folder.h"
#include "testhost/utf16_text.h"

namespace {

// A 3 x 2 image of two planes: plane p, row y, column x holds p * 100 + y * 10 + x; at depth 16 it holds
// 0x3000 * p + 0x100 * y + x + 1 in the host's range, so that both bytes of every sample differ from its
// neighbours'.
HostImage SmallImage(int16_t mode = kModeGrayScale, int16_t planes = 2, int16_t depth = 8) {
  HostImage image;
  image.mode = mode;
  image.depth = depth;
  image.width = 3;
  image.height = 2;
  image.planes = planes;
  for (int p = 0; p < planes; ++p) {
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        if (depth == 16) {
          image.planar16.push_back(static_cast<uint16_t>(0x3000 * p + 0x100 * y + x + 1));
        } else {
          image.planar.push_back(static_cast<uint8_t>(p * 100 + y * 10 + x));
        }
      }
    }
  }
  return image;
}

// The native-endian uint16 at byte `at` of a buffer.
uint16_t Sample16In(const uint8_t* buffer, size_t at) {
  uint16_t sample = 0;
  std::memcpy(&sample, buffer + at, sizeof sample);
  return sample;
}

// A plug-in whose answers the test scripts: each selector's result, and what it saw on entry.
struct ScriptedCall {
  int16_t selector;
  int16_t resultOnEntry;
  intptr_t dataOnEntry;
  void* record;
};
std::map<int16_t, int16_t> scriptedResults;
std::vector<ScriptedCall> scriptedCalls;

void ScriptedPlugin(int16_t selector, void* record, intptr_t* data, int16_t* result) {
  scriptedCalls.push_back({selector, *result, *data, record});
  *data += 1;
  *result = scriptedResults.count(selector) != 0 ? scriptedResults[selector] : 0;
}

std::vector<int16_t> SelectorsCalled() {
  std::vector<int16_t> selectors;
  for (const ScriptedCall& call : scriptedCalls) selectors.push_back(call.selector);
  return selectors;
}

class FakeHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scriptedResults.clear();
    scriptedCalls.clear();
  }

  template <typename Suite>
  static const Suite* Acquire(FakeHost& host, const char* name, int32_t version, SPErr* error = nullptr) {
    const void* suite = nullptr;
    const SPErr result = host.Record().sSPBasic->AcquireSuite(name, version, &suite);
    if (error != nullptr) *error = result;
    return static_cast<const Suite*>(suite);
  }
};

TEST_F(FakeHostTest, RecordDescribesTheImage) {
  HostImage image = SmallImage(kModeIndexed, 1);
  image.red[5] = 50;
  image.blue[255] = 7;
  image.transparentIndex = 5;
  FakeHost host(image);
  const FormatRecord& record = host.Record();
  EXPECT_EQ(record.hostSig, kHostSignature);
  EXPECT_EQ(record.imageMode, kModeIndexed);
  EXPECT_EQ(record.imageSize.v, 2);
  EXPECT_EQ(record.imageSize.h, 3);
  EXPECT_EQ(record.imageSize32.v, 2);
  EXPECT_EQ(record.imageSize32.h, 3);
  EXPECT_EQ(record.HostSupports32BitCoordinates, 1);
  EXPECT_EQ(record.depth, 8);
  EXPECT_EQ(record.planes, 1);
  EXPECT_EQ(record.redLUT[5], 50);
  EXPECT_EQ(record.blueLUT[255], 7);
  EXPECT_EQ(record.transparentIndex, 5);
  EXPECT_NE(record.sSPBasic, nullptr);
  EXPECT_NE(record.advanceState, nullptr);
  ASSERT_NE(record.resourceProcs, nullptr);
  EXPECT_NE(record.resourceProcs->countProc, nullptr);
  EXPECT_NE(record.resourceProcs->getProc, nullptr);
  EXPECT_NE(record.resourceProcs->addProc, nullptr);
  EXPECT_NE(record.descriptorParameters, nullptr);
  EXPECT_EQ(record.dataFork, DestinationFile::kNoFile);

  FakeHostOptions options;
  options.supports32BitCoordinates = false;
  options.noResourceProcs = true;
  options.noAdvanceState = true;
  options.noBasicSuite = true;
  options.noDescriptorParameters = true;
  FakeHost bare(image, options);
  EXPECT_EQ(bare.Record().HostSupports32BitCoordinates, 0);
  EXPECT_EQ(bare.Record().imageSize32.v, 0);
  EXPECT_EQ(bare.Record().resourceProcs, nullptr);
  EXPECT_EQ(bare.Record().advanceState, nullptr);
  EXPECT_EQ(bare.Record().sSPBasic, nullptr);
  EXPECT_EQ(bare.Record().descriptorParameters, nullptr);
}

TEST_F(FakeHostTest, RecordDescribesASixteenBitDocumentInTheModeAskedFor) {
  FakeHost rgb(SmallImage(kModeRGB, 3, 16));
  EXPECT_EQ(rgb.Record().depth, 16);
  EXPECT_EQ(rgb.Record().imageMode, kModeRGB);
  EXPECT_EQ(rgb.Record().maxValue, 32768);
  EXPECT_EQ(rgb.Record().planes, 3);

  FakeHostOptions deep;
  deep.deepModes = true;
  FakeHost rgb48(SmallImage(kModeRGB, 4, 16), deep);
  EXPECT_EQ(rgb48.Record().imageMode, kModeRGB48);
  EXPECT_EQ(rgb48.Record().depth, 16);
  EXPECT_EQ(rgb48.Record().maxValue, 32768);
  FakeHost gray16(SmallImage(kModeGrayScale, 1, 16), deep);
  EXPECT_EQ(gray16.Record().imageMode, kModeGray16);

  // An 8-bit document keeps its mode and range.
  FakeHost eightBit(SmallImage(kModeRGB, 3), deep);
  EXPECT_EQ(eightBit.Record().imageMode, kModeRGB);
  EXPECT_EQ(eightBit.Record().depth, 8);
  EXPECT_EQ(eightBit.Record().maxValue, 255);
}

TEST_F(FakeHostTest, SaveRunsTheWriteSelectorsInOrderWithResultClearedAndDataSlotKept) {
  FakeHost host(SmallImage());
  EXPECT_EQ(host.Save(ScriptedPlugin), 0);
  EXPECT_EQ(SelectorsCalled(), (std::vector<int16_t>{13, 14, 15, 16}));
  for (size_t i = 0; i < scriptedCalls.size(); ++i) {
    EXPECT_EQ(scriptedCalls[i].resultOnEntry, 0);
    EXPECT_EQ(scriptedCalls[i].dataOnEntry, static_cast<intptr_t>(i));  // the plug-in's slot survives calls
    EXPECT_EQ(scriptedCalls[i].record, &host.Record());
  }
  EXPECT_EQ(host.DataSlot(), 4);
  ASSERT_EQ(host.Calls().size(), 4u);
  EXPECT_EQ(host.Calls()[1].selector, 14);
}

// A plug-in that reads the document's profile, resolution and XMP at write start through the Handle suite,
// as the real one does, and disposes of nothing.
struct DocumentSeen {
  int32_t profileSize = -1;
  std::string profile;  // the bytes behind iCCprofileData, or "null"
  Fixed horizontal = 0;
  Fixed vertical = 0;
  std::string xmp;  // the text behind xmp, or "null"
};
DocumentSeen documentSeen;

std::string HandleText(const PSHandleSuite2* handles, Handle handle) {
  if (handle == nullptr) return "null";
  char* address = nullptr;
  handles->SetLock(handle, true, &address, nullptr);
  const std::string text(address, static_cast<size_t>(handles->GetSize(handle)));
  handles->SetLock(handle, false, &address, nullptr);
  return text;
}

void DocumentReadingPlugin(int16_t selector, void* record, intptr_t*, int16_t* result) {
  *result = 0;
  if (selector != kSelectorWriteStart) return;
  auto* format = static_cast<FormatRecord*>(record);
  const void* suite = nullptr;
  if (format->sSPBasic->AcquireSuite(kHandleSuiteName, kHandleSuiteVersion, &suite) != 0) return;
  const auto* handles = static_cast<const PSHandleSuite2*>(suite);
  documentSeen.profileSize = format->iCCprofileSize;
  documentSeen.profile = HandleText(handles, format->iCCprofileData);
  documentSeen.horizontal = format->imageHRes;
  documentSeen.vertical = format->imageVRes;
  documentSeen.xmp = HandleText(handles, format->xmp);
  format->sSPBasic->ReleaseSuite(kHandleSuiteName, kHandleSuiteVersion);
}

TEST_F(FakeHostTest, SaveHandsTheDocumentsProfileOnlyWhenEmbeddingAndItsResolutionAndXmpAlways) {
  HostImage image = SmallImage();
  image.iccProfile = {'p', 'r', 0, 'f'};
  image.horizontalResolution = 300 << 16;
  image.verticalResolution = (150 << 16) + 1;
  image.xmp = "<x:xmpmeta/>";
  for (const bool embed : {true, false}) {
    SCOPED_TRACE(embed ? "embedding" : "not embedding");
    FakeHostOptions options;
    options.embedProfile = embed;
    FakeHost host(image, options);
    documentSeen = {};
    EXPECT_EQ(host.Save(DocumentReadingPlugin), 0);
    EXPECT_EQ(documentSeen.profileSize, embed ? 4 : 0);
    EXPECT_EQ(documentSeen.profile, embed ? std::string("pr\0f", 4) : "null");
    EXPECT_EQ(documentSeen.horizontal, 300 << 16);
    EXPECT_EQ(documentSeen.vertical, (150 << 16) + 1);
    EXPECT_EQ(documentSeen.xmp, "<x:xmpmeta/>");
    // The host frees what it handed once the save is over, and nothing else.
    EXPECT_EQ(host.Seen().handles.NewCount(), embed ? 2 : 1);
    EXPECT_EQ(host.Seen().handles.LiveCount(), 0u);
    EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 0);
    EXPECT_EQ(host.Record().iCCprofileData, nullptr);
    EXPECT_EQ(host.Record().xmp, nullptr);
  }

  // A document without XMP hands a null handle, and a plug-in that disposes of the host's handles leaves
  // the host nothing to free twice.
  image.xmp.clear();
  FakeHostOptions options;
  options.embedProfile = true;
  FakeHost host(image, options);
  documentSeen = {};
  EXPECT_EQ(host.Save([](int16_t selector, void* record, intptr_t*, int16_t* result) {
    *result = 0;
    auto* format = static_cast<FormatRecord*>(record);
    if (selector == kSelectorWriteStart) documentSeen.xmp = format->xmp == nullptr ? "null" : "handed";
    if (selector == kSelectorWriteFinish) FakeHost::Current()->State().handles.Dispose(format->iCCprofileData);
  }),
            0);
  EXPECT_EQ(documentSeen.xmp, "null");
  EXPECT_EQ(host.Seen().handles.DisposeCount(), 1);
  EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 0);
}

TEST_F(FakeHostTest, SaveStopsAtAFailedPrepareOrStart) {
  scriptedResults = {{13, -108}};
  {
    FakeHost host(SmallImage());
    EXPECT_EQ(host.Save(ScriptedPlugin), -108);
  }
  EXPECT_EQ(SelectorsCalled(), (std::vector<int16_t>{13}));

  scriptedCalls.clear();
  scriptedResults = {{14, -128}};
  FakeHost host(SmallImage());
  EXPECT_EQ(host.Save(ScriptedPlugin), -128);
  EXPECT_EQ(SelectorsCalled(), (std::vector<int16_t>{13, 14}));
  ASSERT_EQ(host.Calls().size(), 2u);
  EXPECT_EQ(host.Calls()[1].result, -128);
}

TEST_F(FakeHostTest, WriteFinishFollowsAFailedContinueAndTheFirstFailureIsReported) {
  scriptedResults = {{15, -20}, {16, -108}};
  FakeHost host(SmallImage());
  EXPECT_EQ(host.Save(ScriptedPlugin), -20);
  EXPECT_EQ(SelectorsCalled(), (std::vector<int16_t>{13, 14, 15, 16}));

  scriptedCalls.clear();
  scriptedResults = {{16, -108}};
  EXPECT_EQ(host.Save(ScriptedPlugin), -108);
}

TEST_F(FakeHostTest, EstimateRunsNineToTwelveAndStopsAtAFailure) {
  FakeHost host(SmallImage());
  EXPECT_EQ(host.Estimate(ScriptedPlugin), 0);
  EXPECT_EQ(SelectorsCalled(), (std::vector<int16_t>{9, 10, 11, 12}));
  scriptedCalls.clear();
  scriptedResults = {{10, -30900}};
  EXPECT_EQ(host.Estimate(ScriptedPlugin), -30900);
  EXPECT_EQ(SelectorsCalled(), (std::vector<int16_t>{9, 10}));
}

TEST_F(FakeHostTest, AboutPassesAnAboutRecordWithTheWindowAndBasicSuite) {
  FakeHost host(SmallImage());
  EXPECT_EQ(host.About(ScriptedPlugin, 0x1234), 0);
  ASSERT_EQ(scriptedCalls.size(), 1u);
  EXPECT_EQ(scriptedCalls[0].selector, 0);
  auto* about = static_cast<AboutRecord*>(scriptedCalls[0].record);
  ASSERT_NE(static_cast<void*>(about), static_cast<void*>(&host.Record()));
  ASSERT_NE(about->platformData, nullptr);
  EXPECT_EQ(about->platformData->hwnd, 0x1234);
  EXPECT_EQ(about->sSPBasic, host.Record().sSPBasic);
}

TEST_F(FakeHostTest, BasicSuiteHandsOutTheThreeSuitesAndCountsAcquireAndRelease) {
  FakeHost host(SmallImage());
  SPErr error = -1;
  EXPECT_NE(Acquire<PSHandleSuite2>(host, kHandleSuiteName, 2, &error), nullptr);
  EXPECT_EQ(error, kSPNoError);
  EXPECT_NE(Acquire<PSBufferSuite1>(host, kBufferSuiteName, 1), nullptr);
  EXPECT_NE(Acquire<PSBufferSuite1>(host, kBufferSuiteName, 1), nullptr);
  EXPECT_NE(Acquire<PSColorSpaceSuite1>(host, kColorSpaceSuiteName, 1), nullptr);
  EXPECT_EQ(Acquire<PSHandleSuite2>(host, kHandleSuiteName, 7, &error), nullptr);
  EXPECT_EQ(error, kSPSuiteNotFoundError);
  EXPECT_EQ(Acquire<void>(host, "No Such Suite", 1, &error), nullptr);
  EXPECT_EQ(error, kSPSuiteNotFoundError);
  EXPECT_EQ(host.Record().sSPBasic->ReleaseSuite(kBufferSuiteName, 1), kSPNoError);

  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).acquired, 1);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).refused, 1);
  EXPECT_EQ(host.SuiteUseOf(kHandleSuiteName).released, 0);
  EXPECT_EQ(host.SuiteUseOf(kBufferSuiteName).acquired, 2);
  EXPECT_EQ(host.SuiteUseOf(kBufferSuiteName).released, 1);
  EXPECT_EQ(host.SuiteUseOf(kColorSpaceSuiteName).acquired, 1);
  EXPECT_EQ(host.SuiteUseOf("No Such Suite").refused, 1);
}

TEST_F(FakeHostTest, RefusedSuiteIsNotFound) {
  FakeHostOptions options;
  options.refusedSuites = {kColorSpaceSuiteName};
  FakeHost host(SmallImage(), options);
  SPErr error = 0;
  EXPECT_EQ(Acquire<PSColorSpaceSuite1>(host, kColorSpaceSuiteName, 1, &error), nullptr);
  EXPECT_EQ(error, kSPSuiteNotFoundError);
  EXPECT_NE(Acquire<PSHandleSuite2>(host, kHandleSuiteName, 2), nullptr);
  EXPECT_EQ(host.SuiteUseOf(kColorSpaceSuiteName).refused, 1);
  EXPECT_EQ(host.SuiteUseOf(kColorSpaceSuiteName).acquired, 0);
}

TEST_F(FakeHostTest, HandleSuiteKeepsLiveBlocks) {
  FakeHost host(SmallImage());
  const PSHandleSuite2* handles = Acquire<PSHandleSuite2>(host, kHandleSuiteName, 2);
  ASSERT_NE(handles, nullptr);
  Handle handle = handles->New(5);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handles->GetSize(handle), 5);
  char* address = nullptr;
  PIBoolean oldLock = 9;
  handles->SetLock(handle, 1, &address, &oldLock);
  EXPECT_EQ(address, *handle);
  EXPECT_EQ(oldLock, 0);
  EXPECT_EQ(std::string(address, 5), std::string(5, '\0'));
  std::memcpy(address, "abcde", 5);
  handles->SetLock(handle, 0, &address, &oldLock);
  EXPECT_EQ(oldLock, 1);
  EXPECT_EQ(handles->SetSize(handle, 7), kNoErr);
  EXPECT_EQ(handles->GetSize(handle), 7);
  EXPECT_EQ(std::string(*handle, 7), std::string("abcde\0\0", 7));
  EXPECT_EQ(host.Seen().handles.LiveCount(), 1u);
  handles->Dispose(handle);
  EXPECT_EQ(host.Seen().handles.LiveCount(), 0u);
  EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 0);
  handles->Dispose(handle);  // twice: counted, not freed again
  EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 1);
  EXPECT_EQ(handles->GetSize(handle), 0);
}

TEST_F(FakeHostTest, HandleSuiteFailuresOnRequest) {
  FakeHostOptions options;
  options.handleNewFails = true;
  FakeHost failing(SmallImage(), options);
  EXPECT_EQ(Acquire<PSHandleSuite2>(failing, kHandleSuiteName, 2)->New(2), nullptr);

  options = FakeHostOptions{};
  options.handleLockGivesNoAddress = true;
  FakeHost noAddress(SmallImage(), options);
  const PSHandleSuite2* handles = Acquire<PSHandleSuite2>(noAddress, kHandleSuiteName, 2);
  Handle handle = handles->New(2);
  ASSERT_NE(handle, nullptr);
  char* address = reinterpret_cast<char*>(1);
  PIBoolean oldLock = 0;
  handles->SetLock(handle, 1, &address, &oldLock);
  EXPECT_EQ(address, nullptr);
}

TEST_F(FakeHostTest, BufferSuiteLendsAndTakesBack) {
  FakeHost host(SmallImage());
  const PSBufferSuite1* buffers = Acquire<PSBufferSuite1>(host, kBufferSuiteName, 1);
  ASSERT_NE(buffers, nullptr);
  uint32_t size = 100;
  char* buffer = buffers->New(&size, 10);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(size, 100u);
  EXPECT_EQ(buffers->GetSize(buffer), 100u);
  char* minimum = buffers->New(nullptr, 10);
  EXPECT_EQ(buffers->GetSize(minimum), 10u);
  EXPECT_EQ(host.Seen().buffers.LiveCount(), 2u);
  buffers->Dispose(&buffer);
  EXPECT_EQ(buffer, nullptr);
  buffers->Dispose(&buffer);  // a null buffer is left alone
  buffers->Dispose(&minimum);
  EXPECT_EQ(host.Seen().buffers.LiveCount(), 0u);
  EXPECT_EQ(host.Seen().buffers.BadDisposeCount(), 0);
  EXPECT_EQ(buffers->GetSpace(), BufferStore::kSpace);
  uint32_t tooMuch = BufferStore::kSpace + 1;
  EXPECT_EQ(buffers->New(&tooMuch, BufferStore::kSpace + 1), nullptr);

  FakeHostOptions options;
  options.bufferNewRefuses = true;
  FakeHost refusing(SmallImage(), options);
  size = 4;
  EXPECT_EQ(Acquire<PSBufferSuite1>(refusing, kBufferSuiteName, 1)->New(&size, 4), nullptr);
}

TEST_F(FakeHostTest, ColorSpaceSuiteConvertsCmykToRgbInPlaceByTheDocumentedFormula) {
  FakeHost host(SmallImage());
  const PSColorSpaceSuite1* colors = Acquire<PSColorSpaceSuite1>(host, kColorSpaceSuiteName, 1);
  ASSERT_NE(colors, nullptr);
  Color8 records[3] = {{0, 0, 0, 0}, {10, 20, 30, 40}, {200, 100, 250, 60}};
  EXPECT_EQ(colors->Convert8(kColorSpaceCMYK, kColorSpaceRGB, records, 3), kSPNoError);
  const uint8_t expected[3][4] = {{0, 255, 255, 255}, {0, 205, 195, 185}, {0, 0, 95, 0}};
  for (int i = 0; i < 3; ++i) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(records[i][c], expected[i][c]) << "record " << i << " byte " << c;
  }
  EXPECT_EQ(colors->Convert8(kColorSpaceLab, kColorSpaceRGB, records, 3), kSPUnimplementedError);
  EXPECT_EQ(records[1][1], 205);
  EXPECT_EQ(colors->Convert16(kColorSpaceCMYK, kColorSpaceRGB, nullptr, 0), kSPUnimplementedError);
  EXPECT_EQ(host.Seen().colorConversions, 2);
}

TEST_F(FakeHostTest, AdvanceStateFillsTheRequestedPlaneAndRectangle) {
  FakeHost host(SmallImage());
  FormatRecord& record = host.Record();
  uint8_t buffer[16];
  std::memset(buffer, 0xEE, sizeof buffer);
  record.PluginUsing32BitCoordinates = 1;
  record.theRect32 = VRect{0, 1, 2, 3};  // columns 1 and 2 of both rows
  record.loPlane = record.hiPlane = 1;
  record.colBytes = 1;
  record.rowBytes = 4;
  record.data = buffer;
  EXPECT_EQ(record.advanceState(), kNoErr);
  const uint8_t expected[] = {101, 102, 0xEE, 0xEE, 111, 112, 0xEE, 0xEE};
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8), std::vector<uint8_t>(std::begin(expected), std::end(expected)));

  // Both planes interleaved, through the 16-bit rectangle of a plug-in without 32-bit coordinates.
  std::memset(buffer, 0xEE, sizeof buffer);
  record.PluginUsing32BitCoordinates = 0;
  record.theRect32 = VRect{};
  record.theRect = Rect16{1, 0, 2, 3};
  record.loPlane = 0;
  record.hiPlane = 1;
  record.colBytes = 2;
  record.rowBytes = 6;
  record.planeBytes = 1;
  EXPECT_EQ(record.advanceState(), kNoErr);
  const uint8_t interleaved[] = {10, 110, 11, 111, 12, 112};
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6),
            std::vector<uint8_t>(std::begin(interleaved), std::end(interleaved)));
  EXPECT_EQ(buffer[6], 0xEE);

  EXPECT_EQ(host.Seen().advanceStateCalls, 2);
  ASSERT_EQ(host.Seen().dataRequests.size(), 2u);
  EXPECT_EQ(host.Seen().dataRequests[0].rect.left, 1);
  EXPECT_EQ(host.Seen().dataRequests[1].rect.top, 1);
}

TEST_F(FakeHostTest, AdvanceStateHandsSixteenBitSamplesWholeAtTheirColumns) {
  FakeHost host(SmallImage(kModeRGB, 2, 16));
  FormatRecord& record = host.Record();
  uint8_t buffer[32];
  std::memset(buffer, 0xEE, sizeof buffer);
  record.PluginUsing32BitCoordinates = 1;
  record.theRect32 = VRect{0, 1, 2, 3};  // columns 1 and 2 of both rows
  record.loPlane = record.hiPlane = 1;
  record.colBytes = 2;
  record.rowBytes = 6;
  record.data = buffer;
  EXPECT_EQ(record.advanceState(), kNoErr);
  EXPECT_EQ(Sample16In(buffer, 0), 0x3002);
  EXPECT_EQ(Sample16In(buffer, 2), 0x3003);
  EXPECT_EQ(Sample16In(buffer, 4), 0xEEEE);  // past the rectangle: untouched
  EXPECT_EQ(Sample16In(buffer, 6), 0x3102);
  EXPECT_EQ(Sample16In(buffer, 8), 0x3103);

  // Both planes interleaved: each sample at (x - left) * colBytes, the second plane planeBytes after it.
  std::memset(buffer, 0xEE, sizeof buffer);
  record.theRect32 = VRect{1, 0, 2, 3};
  record.loPlane = 0;
  record.hiPlane = 1;
  record.colBytes = 4;
  record.rowBytes = 12;
  record.planeBytes = 2;
  EXPECT_EQ(record.advanceState(), kNoErr);
  const uint16_t interleaved[] = {0x0101, 0x3101, 0x0102, 0x3102, 0x0103, 0x3103};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Sample16In(buffer, 2 * i), interleaved[i]) << i;
  EXPECT_EQ(buffer[12], 0xEE);

  // Columns of one byte cannot hold a 16-bit sample: refused, nothing copied.
  std::memset(buffer, 0xEE, sizeof buffer);
  record.loPlane = record.hiPlane = 0;
  record.colBytes = 1;
  record.rowBytes = 3;
  EXPECT_EQ(record.advanceState(), kParamErr);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + sizeof buffer), std::vector<uint8_t>(sizeof buffer, 0xEE));
}

TEST_F(FakeHostTest, AdvanceStateRefusesRequestsOutsideTheImage) {
  FakeHost host(SmallImage());
  FormatRecord& record = host.Record();
  uint8_t buffer[64] = {};
  record.PluginUsing32BitCoordinates = 1;
  record.theRect32 = VRect{0, 0, 3, 3};  // one row too many
  record.colBytes = 1;
  record.rowBytes = 3;
  record.data = buffer;
  EXPECT_EQ(record.advanceState(), kParamErr);
  record.theRect32 = VRect{0, 0, 2, 3};
  record.loPlane = record.hiPlane = 2;  // the image has planes 0 and 1
  EXPECT_EQ(record.advanceState(), kParamErr);
  record.loPlane = record.hiPlane = 0;
  record.data = nullptr;
  EXPECT_EQ(record.advanceState(), kParamErr);
}

TEST_F(FakeHostTest, AdvanceStateFailsOnTheChosenPlaneOnly) {
  FakeHostOptions options;
  options.advanceStateFailPlane = 1;
  options.advanceStateFailCode = -34;
  FakeHost host(SmallImage(), options);
  FormatRecord& record = host.Record();
  uint8_t buffer[6] = {};
  record.PluginUsing32BitCoordinates = 1;
  record.theRect32 = VRect{0, 0, 2, 3};
  record.colBytes = 1;
  record.rowBytes = 3;
  record.data = buffer;
  record.loPlane = record.hiPlane = 0;
  EXPECT_EQ(record.advanceState(), kNoErr);
  record.loPlane = record.hiPlane = 1;
  EXPECT_EQ(record.advanceState(), -34);

  options.advanceStateFailCode = kUserCanceledErr;
  options.advanceStateFailPlane = 0;
  FakeHost cancelling(SmallImage(), options);
  cancelling.Record() = record;
  cancelling.Record().loPlane = cancelling.Record().hiPlane = 0;
  EXPECT_EQ(cancelling.Record().advanceState(), kUserCanceledErr);
}

TEST_F(FakeHostTest, ProgressAbortAndResourceCallsAreRecorded) {
  FakeHost host(SmallImage());
  FormatRecord& record = host.Record();
  record.progressProc(3, 10);
  record.progressProc(4, 10);
  EXPECT_EQ(record.abortProc(), 0);
  record.resourceProcs->countProc(FourCharCode("8BIM"));
  record.resourceProcs->addProc(FourCharCode("8BIM"), nullptr);
  ASSERT_EQ(host.Seen().progress.size(), 2u);
  EXPECT_EQ(host.Seen().progress[1].done, 4);
  EXPECT_EQ(host.Seen().progress[1].total, 10);
  EXPECT_EQ(host.Seen().abortChecks, 1);
  EXPECT_EQ(host.Seen().resourceCalls, 2);
}

TEST_F(FakeHostTest, ColorServicesAnswersAChooseColorRequestWithThePick) {
  FakeHostOptions options;
  options.pickRed = 0x12;
  options.pickGreen = 0x34;
  options.pickBlue = 0x56;
  FakeHost host(SmallImage(), options);
  ColorServicesInfo info{};
  info.infoSize = sizeof info;
  info.selector = kColorServicesChooseColor;
  info.sourceSpace = kColorSpaceRGB;
  info.resultSpace = kColorSpaceRGB;
  info.colorComponents[0] = 1;
  info.colorComponents[1] = 2;
  info.colorComponents[2] = 3;
  unsigned char prompt[] = {4, 'F', 'i', 'l', 'l'};
  info.selectorParameter.pickerPrompt = prompt;
  ASSERT_EQ(host.Record().colorServices(&info), kNoErr);
  EXPECT_EQ(info.colorComponents[0], 0x12);
  EXPECT_EQ(info.colorComponents[1], 0x34);
  EXPECT_EQ(info.colorComponents[2], 0x56);
  ASSERT_EQ(host.Seen().colorPicks.size(), 1u);
  EXPECT_EQ(host.Seen().colorPicks[0].prompt, "Fill");
  EXPECT_EQ(host.Seen().colorPicks[0].initial[2], 3);

  // A record of another layout's size is refused untouched.
  info.infoSize = sizeof info - 4;
  info.colorComponents[0] = 9;
  EXPECT_EQ(host.Record().colorServices(&info), kParamErr);
  EXPECT_EQ(info.colorComponents[0], 9);
  EXPECT_EQ(host.Seen().colorPicks.size(), 1u);
}

TEST_F(FakeHostTest, ReadDescriptorDeliversTheParametersInOrderAndClearsDeliveredKeys) {
  FakeHost host(SmallImage());
  host.SetParameters({{FourCharCode("NPal"), 16}, {FourCharCode("Zzzz"), -3}, {FourCharCode("Type"), 300}});
  PIDescriptorParameters* parameters = host.Record().descriptorParameters;
  ASSERT_NE(parameters->descriptor, nullptr);
  EXPECT_EQ(parameters->descriptor, host.Seen().incomingDescriptor);
  const ReadDescriptorProcs* read = parameters->readDescriptorProcs;
  DescriptorKeyID keys[] = {FourCharCode("Left"), FourCharCode("Type"), FourCharCode("NPal"), 0};
  PIReadDescriptor token = read->openReadDescriptorProc(parameters->descriptor, keys);
  ASSERT_NE(token, nullptr);
  EXPECT_EQ(host.Seen().readKeyList,
            (std::vector<DescriptorKeyID>{FourCharCode("Left"), FourCharCode("Type"), FourCharCode("NPal")}));

  std::vector<std::pair<DescriptorKeyID, int32_t>> delivered;
  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;
  int32_t flags = -1;
  while (read->getKeyProc(token, &key, &type, &flags)) {
    EXPECT_EQ(type, kDescriptorTypeInteger);
    EXPECT_EQ(flags, 0);
    int32_t value = 0;
    EXPECT_EQ(read->getIntegerProc(token, &value), kNoErr);
    delivered.emplace_back(key, value);
  }
  EXPECT_EQ(delivered, (std::vector<std::pair<DescriptorKeyID, int32_t>>{
                           {FourCharCode("NPal"), 16}, {FourCharCode("Zzzz"), -3}, {FourCharCode("Type"), 300}}));
  EXPECT_EQ(keys[0], FourCharCode("Left"));
  EXPECT_EQ(keys[1], 0u);
  EXPECT_EQ(keys[2], 0u);
  EXPECT_EQ(read->closeReadDescriptorProc(token), kNoErr);
  EXPECT_EQ(host.Seen().undeliveredKeys, (std::vector<DescriptorKeyID>{FourCharCode("Left")}));
  EXPECT_EQ(host.Seen().readOpens, 1);
  EXPECT_EQ(host.Seen().readCloses, 1);
}

TEST_F(FakeHostTest, ReadDescriptorErrorsAreStickyAndPinningCoerces) {
  FakeHost host(SmallImage());
  host.SetParameters({{FourCharCode("NPal"), 300}});
  const ReadDescriptorProcs* read = host.Record().descriptorParameters->readDescriptorProcs;
  DescriptorKeyID keys[] = {FourCharCode("NPal"), 0};
  PIReadDescriptor token = read->openReadDescriptorProc(host.Record().descriptorParameters->descriptor, keys);
  DescriptorKeyID key = 0;
  ASSERT_TRUE(read->getKeyProc(token, &key, nullptr, nullptr));
  int32_t value = 0;
  EXPECT_EQ(read->getPinnedIntegerProc(token, 2, 256, &value), kCoercedParamErr);
  EXPECT_EQ(value, 256);
  double real = 0;
  EXPECT_EQ(read->getFloatProc(token, &real), kParamErr);
  EXPECT_FALSE(read->getKeyProc(token, &key, nullptr, nullptr));
  EXPECT_EQ(read->closeReadDescriptorProc(token), kParamErr);

  // Nothing to read without a descriptor.
  EXPECT_EQ(read->openReadDescriptorProc(nullptr, keys), nullptr);
}

TEST_F(FakeHostTest, WriteDescriptorRecordsPutsAndReturnsANewHandle) {
  FakeHost host(SmallImage());
  PIDescriptorParameters* parameters = host.Record().descriptorParameters;
  const WriteDescriptorProcs* write = parameters->writeDescriptorProcs;
  PIWriteDescriptor token = write->openWriteDescriptorProc();
  ASSERT_NE(token, nullptr);
  EXPECT_EQ(write->putIntegerProc(token, FourCharCode("Wdth"), 800), kNoErr);
  EXPECT_EQ(write->putIntegerProc(token, FourCharCode("Dthr"), 3), kNoErr);
  EXPECT_EQ(write->putBooleanProc(token, FourCharCode("Bool"), 1), kParamErr);
  PIDescriptorHandle made = nullptr;
  EXPECT_EQ(write->closeWriteDescriptorProc(token, &made), kNoErr);
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(host.Seen().handles.IsLive(made));
  parameters->descriptor = made;
  const DescriptorItems recorded = host.RecordedDescriptor();
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[0].key, FourCharCode("Wdth"));
  EXPECT_EQ(recorded[0].value, 800);
  EXPECT_EQ(recorded[1].key, FourCharCode("Dthr"));
  EXPECT_EQ(recorded[1].value, 3);
  EXPECT_EQ(host.Seen().writtenParameters.size(), 2u);
  EXPECT_EQ(host.Seen().writeCloses, 1);
}

TEST_F(FakeHostTest, SetDestinationHandsOutAnOpenFileAndItsFullPath) {
  TempFolder folder;
  const std::string path = folder.File(u8"Пользователь画像.png");
  FakeHost host(SmallImage());
  ASSERT_TRUE(host.SetDestination(path));
  EXPECT_NE(host.Record().dataFork, DestinationFile::kNoFile);
  ASSERT_NE(host.Record().fileSpec2, nullptr);
  EXPECT_EQ(Utf8FromUtf16(host.Record().fileSpec2->mReference), path);
  host.CloseDestination();
  EXPECT_EQ(host.Record().dataFork, DestinationFile::kNoFile);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(path)));
  EXPECT_FALSE(host.SetDestination(folder.File("no such folder/out.png")));
}

TEST_F(FakeHostTest, CallbacksOutsideAnyHostFailHarmlessly) {
  SPBasicSuite* basic = nullptr;
  {
    FakeHost host(SmallImage());
    basic = host.Record().sSPBasic;
  }
  EXPECT_EQ(FakeHost::Current(), nullptr);
  const void* suite = reinterpret_cast<const void*>(1);
  EXPECT_NE(basic->AcquireSuite(kHandleSuiteName, 2, &suite), kSPNoError);
  EXPECT_EQ(suite, nullptr);
  EXPECT_NE(basic->ReleaseSuite(kHandleSuiteName, 2), kSPNoError);
}

}  // namespace
