// The save options as scripting parameters: played back over the settings file at write start, recorded at
// write finish.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/plugin_main.h"
#include "records/save_options.h"
#include "tests/support/plugin_host_fixture.h"

// Compared and printed as the host keeps them; found by argument lookup, so beside the type.
bool operator==(const DescriptorItem& a, const DescriptorItem& b) { return a.key == b.key && a.value == b.value; }

void PrintTo(const DescriptorItem& item, std::ostream* out) {
  const char code[5] = {static_cast<char>(item.key >> 24), static_cast<char>(item.key >> 16),
                        static_cast<char>(item.key >> 8), static_cast<char>(item.key), 0};
  *out << code << "=" << item.value;
}

namespace {

struct Options {
  int32_t left, top, width, height;
  int32_t type;
  int32_t colors;
  int32_t alpha, keyColor, keyDither;
  int32_t fill;
  int32_t dither;
  int32_t refine;
  int32_t compression;
  int32_t quality;
};

Options Fields(const SaveOptionsRecord& o) {
  return {o.windowLeft,    o.windowTop,     o.windowWidth, o.windowHeight,   o.pngType,
          o.paletteColors, o.alphaChannel,  o.useKeyColor, o.keyColorDither, o.fillColor,
          o.dither,        o.refinePalette, o.compression, o.paletteQuality};
}

void ExpectOptions(const Options& seen, const Options& expected) {
  EXPECT_EQ(seen.left, expected.left);
  EXPECT_EQ(seen.top, expected.top);
  EXPECT_EQ(seen.width, expected.width);
  EXPECT_EQ(seen.height, expected.height);
  EXPECT_EQ(seen.type, expected.type);
  EXPECT_EQ(seen.colors, expected.colors);
  EXPECT_EQ(seen.alpha, expected.alpha);
  EXPECT_EQ(seen.keyColor, expected.keyColor);
  EXPECT_EQ(seen.keyDither, expected.keyDither);
  EXPECT_EQ(seen.fill, expected.fill);
  EXPECT_EQ(seen.dither, expected.dither);
  EXPECT_EQ(seen.refine, expected.refine);
  EXPECT_EQ(seen.compression, expected.compression);
  EXPECT_EQ(seen.quality, expected.quality);
}

const Options kDefaults{100, 100, 800, 600, 2, 256, 1, 1, 1, 0, 1, 0, 0, 0};

class ScriptParamsTest : public PluginHostTest {
 protected:
  // The options as the dialog opened on them: after the settings file and the parameters were read.
  int16_t SaveAndCapture(FakeHost& host, Options& seen) {
    if (!host.SetDestination(File("out.png"))) return -1;
    DialogScript.atOpen = [&seen] { seen = Fields(SaveOptions); };
    return host.Save(PluginMain);
  }

  // A settings file in the plug-in's folder; keys are written backwards, as the plug-in writes them.
  void WriteSettings(const std::string& lines) {
    WriteText(File("Vexlorin.ini"), ";Parameters for Brindlewerks Vexlorin format plug-in\n" + lines);
  }
};

TEST_F(ScriptParamsTest, APlayedBackPaletteSizeChangesOnlyThePaletteSize) {
  WriteSettings("tfeL 11\nWpoT 22\nhtdW 640\nthgH 480\nepyT 1\nlaPN 64\nClAU 0\nlCCU 0\nfDCU 0\nlClF 255\nrhtD 2\n");
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  host.SetParameters({{FourCharCode("NPal"), 16}});
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  ExpectOptions(seen, {11, 22, 640, 480, 1, 16, 0, 0, 0, 255, 2, 0, 0, 0});
}

TEST_F(ScriptParamsTest, ValuesAreStoredUncheckedByteOptionsByTheirLowByte) {
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  host.SetParameters({{FourCharCode("Type"), 300},
                      {FourCharCode("UAlC"), 257},
                      {FourCharCode("UCCl"), -1},
                      {FourCharCode("UCDf"), 511},
                      {FourCharCode("Dthr"), 259},
                      {FourCharCode("FlCl"), 0x01FFFFFF},
                      {FourCharCode("Left"), -20},
                      {FourCharCode("TopW"), 70000},
                      {FourCharCode("NPal"), 1000}});
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  // 300 = 0x12C -> 0x2C; 257 -> 1; 511 -> 255; 259 -> 3. Whole ints pass untouched, even out of range.
  ExpectOptions(seen, {-20, 70000, 800, 600, 44, 1000, 1, -1, 255, 0x01FFFFFF, 3, 0, 0, 0});
}

TEST_F(ScriptParamsTest, UnknownKeysAreSkippedAndTheDescriptorIsGivenBack) {
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  // The preview's zoom and view are settings lines, never parameters: a descriptor's Zoom and View are unknown.
  host.SetParameters({{FourCharCode("Xtra"), 5},
                      {FourCharCode("left"), 7},
                      {FourCharCode("NPal"), 32},
                      {FourCharCode("hght"), 9},
                      {FourCharCode("Zoom"), 2000},
                      {FourCharCode("View"), 2},
                      {FourCharCode("Type"), 0}});
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  Options seen{};
  int32_t zoomAtDialog = 0;
  int32_t viewAtDialog = 0;
  PIDescriptorHandle descriptorAtDialog = reinterpret_cast<PIDescriptorHandle>(1);
  DialogScript.atOpen = [&] {
    seen = Fields(SaveOptions);
    zoomAtDialog = SaveOptions.previewZoom;
    viewAtDialog = SaveOptions.previewView;
    descriptorAtDialog = host.Record().descriptorParameters->descriptor;
  };
  EXPECT_EQ(host.Save(PluginMain), 0);
  ExpectOptions(seen, {100, 100, 800, 600, 0, 32, 1, 1, 1, 0, 1, 0, 0, 0});
  EXPECT_EQ(zoomAtDialog, 1000);
  EXPECT_EQ(viewAtDialog, 1);

  // The keys asked for, in this order.
  const std::vector<DescriptorKeyID> keys{
      FourCharCode("Left"), FourCharCode("TopW"), FourCharCode("Wdth"), FourCharCode("Hght"), FourCharCode("Type"),
      FourCharCode("NPal"), FourCharCode("UAlC"), FourCharCode("UCCl"), FourCharCode("UCDf"), FourCharCode("FlCl"),
      FourCharCode("Dthr"), FourCharCode("Rfne"), FourCharCode("Cmpr"), FourCharCode("Qlty"), FourCharCode("Meta"),
      FourCharCode("CsRG"), FourCharCode("Bt16")};
  EXPECT_EQ(host.Seen().readKeyList, keys);
  EXPECT_EQ(host.Seen().readOpens, 1);
  EXPECT_EQ(host.Seen().readCloses, 1);
  // Read, then disposed and no longer the host's.
  EXPECT_EQ(descriptorAtDialog, nullptr);
  EXPECT_EQ(host.Seen().incomingDescriptor, nullptr);
  EXPECT_EQ(host.Seen().incomingDescriptorDisposals, 1);
  EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 0);
}

TEST_F(ScriptParamsTest, WithoutDescriptorParametersNothingIsReadOrRecorded) {
  WriteSettings("laPN 8\n");
  FakeHostOptions options;
  options.noDescriptorParameters = true;
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3), options);
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  ExpectOptions(seen, {100, 100, 800, 600, 2, 8, 1, 1, 1, 0, 1, 0, 0, 0});
  EXPECT_EQ(host.Record().descriptorParameters, nullptr);
  EXPECT_EQ(host.Seen().readOpens, 0);
  EXPECT_EQ(host.Seen().writeOpens, 0);
  host.CloseDestination();
  EXPECT_EQ(Contents(File("out.png")).substr(1, 3), "PNG");
}

TEST_F(ScriptParamsTest, WithoutReadOrWriteProcsTheDescriptorIsLeftAlone) {
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  host.SetParameters({{FourCharCode("NPal"), 16}});
  host.Record().descriptorParameters->readDescriptorProcs = nullptr;
  host.Record().descriptorParameters->writeDescriptorProcs = nullptr;
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  ExpectOptions(seen, kDefaults);
  EXPECT_EQ(host.Seen().readOpens, 0);
  EXPECT_EQ(host.Seen().writeOpens, 0);
  EXPECT_EQ(host.Seen().incomingDescriptorDisposals, 0);
  EXPECT_EQ(host.Record().descriptorParameters->descriptor, host.Seen().incomingDescriptor);
}

TEST_F(ScriptParamsTest, WithoutAnIncomingDescriptorTheSaveIsStillRecorded) {
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  ExpectOptions(seen, kDefaults);
  EXPECT_EQ(host.Seen().readOpens, 0);
  EXPECT_EQ(host.Seen().writeOpens, 1);
  EXPECT_EQ(host.Seen().writeCloses, 1);
  EXPECT_EQ(host.RecordedDescriptor().size(), 17u);
}

TEST_F(ScriptParamsTest, RecordingPutsTheKeysInOrderWideningOnlySignedBytesWithTheirSign) {
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  host.SetParameters({{FourCharCode("Type"), -1},
                      {FourCharCode("Dthr"), 200},
                      {FourCharCode("UAlC"), -2},
                      {FourCharCode("UCCl"), 128},
                      {FourCharCode("UCDf"), 255},
                      {FourCharCode("Left"), -7},
                      {FourCharCode("TopW"), 8},
                      {FourCharCode("Wdth"), 900},
                      {FourCharCode("Hght"), 700},
                      {FourCharCode("FlCl"), 0x00123456},
                      {FourCharCode("NPal"), 2},
                      {FourCharCode("Rfne"), 257},
                      {FourCharCode("Cmpr"), 513},
                      {FourCharCode("Qlty"), 300},
                      {FourCharCode("Meta"), 258},
                      {FourCharCode("CsRG"), 1},
                      {FourCharCode("Bt16"), 257}});
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  const DescriptorItems expected{
      {FourCharCode("Wdth"), 900},  {FourCharCode("Hght"), 700},        {FourCharCode("Left"), -7},
      {FourCharCode("TopW"), 8},    {FourCharCode("FlCl"), 0x00123456}, {FourCharCode("NPal"), 2},
      {FourCharCode("Type"), -1},   {FourCharCode("UAlC"), -2},         {FourCharCode("Dthr"), 200},
      {FourCharCode("Rfne"), 1},    {FourCharCode("Cmpr"), 1},          {FourCharCode("Qlty"), 300},
      {FourCharCode("Meta"), 2},    {FourCharCode("CsRG"), 1},          {FourCharCode("Bt16"), 1},
      {FourCharCode("UCCl"), -128}, {FourCharCode("UCDf"), 255}};
  EXPECT_EQ(host.Seen().writtenParameters, expected);
  EXPECT_EQ(host.RecordedDescriptor(), expected);
  ASSERT_EQ(host.Seen().descriptorsReturned.size(), 1u);
  EXPECT_EQ(host.Record().descriptorParameters->descriptor, host.Seen().descriptorsReturned[0]);
  EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 0);
}

TEST_F(ScriptParamsTest, ASaveAsGrayscaleWithEightColoursAndNoiseIsRecordedSo) {
  WriteSettings("epyT 0\nlaPN 8\nrhtD 3\n");
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  const DescriptorItems expected{{FourCharCode("Wdth"), 800}, {FourCharCode("Hght"), 600}, {FourCharCode("Left"), 100},
                                 {FourCharCode("TopW"), 100}, {FourCharCode("FlCl"), 0},   {FourCharCode("NPal"), 8},
                                 {FourCharCode("Type"), 0},   {FourCharCode("UAlC"), 1},   {FourCharCode("Dthr"), 3},
                                 {FourCharCode("Rfne"), 0},   {FourCharCode("Cmpr"), 0},   {FourCharCode("Qlty"), 0},
                                 {FourCharCode("Meta"), 0},   {FourCharCode("CsRG"), 0},   {FourCharCode("Bt16"), 0},
                                 {FourCharCode("UCCl"), 1},   {FourCharCode("UCDf"), 1}};
  EXPECT_EQ(host.RecordedDescriptor(), expected);
}

TEST_F(ScriptParamsTest, WriteFinishRecordsTheOptionsAsTheDialogLeftThem) {
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  // What the options panel would do while the dialog is up.
  DialogScript.atOpen = [] {
    SaveOptions.dither = 0;
    SaveOptions.paletteColors = 4;
  };
  EXPECT_EQ(host.Save(PluginMain), 0);
  const DescriptorItems recorded = host.RecordedDescriptor();
  ASSERT_EQ(recorded.size(), 17u);
  EXPECT_EQ(recorded[5], (DescriptorItem{FourCharCode("NPal"), 4}));
  EXPECT_EQ(recorded[8], (DescriptorItem{FourCharCode("Dthr"), 0}));

  // A descriptor the host holds at write finish is replaced, and given back through the Handle suite.
  host.SetParameters({{FourCharCode("NPal"), 64}});
  EXPECT_EQ(host.Call(PluginMain, kSelectorWriteFinish), 0);
  EXPECT_EQ(host.Seen().incomingDescriptorDisposals, 1);
  EXPECT_EQ(host.Seen().writeCloses, 2);
  ASSERT_EQ(host.Seen().descriptorsReturned.size(), 2u);
  EXPECT_EQ(host.Record().descriptorParameters->descriptor, host.Seen().descriptorsReturned[1]);
  EXPECT_EQ(host.RecordedDescriptor()[5], (DescriptorItem{FourCharCode("NPal"), 4}));
  EXPECT_EQ(host.Seen().handles.BadDisposeCount(), 0);
}

}  // namespace

// The refinement and the compression came after the first version: an action recorded without them keeps the
// settings file's values, and a played-back value wins over the file.
TEST_F(ScriptParamsTest, OptionsAddedLaterComeFromTheFileUnlessAnActionSaysOtherwise) {
  WriteSettings("enfR 1\nrpmC 1\nytlQ 75\n");
  {
    FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
    host.SetParameters({{FourCharCode("NPal"), 16}});
    Options seen{};
    EXPECT_EQ(SaveAndCapture(host, seen), 0);
    EXPECT_EQ(seen.refine, 1);
    EXPECT_EQ(seen.compression, 1);
    EXPECT_EQ(seen.quality, 75);
  }
  FakeHost host(PatternImage(kModeRGB, 3, 4, 3));
  host.SetParameters({{FourCharCode("Rfne"), 0}, {FourCharCode("Cmpr"), 0}, {FourCharCode("Qlty"), 40}});
  Options seen{};
  EXPECT_EQ(SaveAndCapture(host, seen), 0);
  EXPECT_EQ(seen.refine, 0);
  EXPECT_EQ(seen.compression, 0);
  EXPECT_EQ(seen.quality, 40);
}
