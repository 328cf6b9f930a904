// Fetching the image at write start: planes interleaved, CMYK through the host's colour-space suite, the
// palette of indexed images, the lowest alpha, and everything borrowed from the host given back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/acquire_image.h"
#include "host/host_call.h"
#include "host/host_status.h"
#include "host/plugin_main.h"
#include "records/palette.h"
#include "records/whole_image.h"
#include "tests/support/plugin_host_fixture.h"

namespace {

// WholeImage and the Palette as the dialog found them.
struct Acquired {
  bool seen = false;
  int32_t width = 0;
  int32_t height = 0;
  int32_t planes = 0;
  int32_t mode = 0;
  int32_t minAlpha = 0;
  std::vector<uint8_t> pixels;
  PaletteRecord palette;

  uint8_t At(int32_t x, int32_t y, int32_t channel) const {
    return pixels.at((static_cast<size_t>(y) * width + x) * planes + channel);
  }
};

class AcquireTest : public PluginHostTest {
 protected:
  // A whole save through the entry point; what acquisition produced is captured when the dialog opens.
  int16_t SaveAndCapture(FakeHost& host, Acquired& acquired) {
    if (!host.SetDestination(File("out.png"))) return -1;
    DialogScript.atOpen = [&acquired] {
      acquired.seen = true;
      acquired.width = WholeImage._WholeWidth;
      acquired.height = WholeImage._WholeHeight;
      acquired.planes = WholeImage._WholePlanesIn;
      acquired.mode = WholeImage._WholeMode;
      acquired.minAlpha = WholeImage.MinAlpha;
      const size_t bytes = static_cast<size_t>(acquired.width) * acquired.height * acquired.planes;
      if (WholeImage.pixels != nullptr) acquired.pixels.assign(WholeImage.pixels, WholeImage.pixels + bytes);
      acquired.palette = Palette;
    };
    const int16_t result = host.Save(PluginMain);
    DialogScript.atOpen = nullptr;
    return result;
  }

  // Everything the host lent is back once the save is over, whichever way it ended.
  static void ExpectAllGivenBack(const FakeHost& host) {
    EXPECT_EQ(host.Seen().buffers.LiveCount(), 0u);
    EXPECT_EQ(host.Seen().buffers.BadDisposeCount(), 0);
    for (const char* suite : {kHandleSuiteName, kBufferSuiteName, kColorSpaceSuiteName}) {
      EXPECT_EQ(host.SuiteUseOf(suite).acquired, host.SuiteUseOf(suite).released) << suite;
    }
    EXPECT_EQ(WholeImage.pixels, nullptr);
  }
};

TEST_F(AcquireTest, RgbPlanesAreInterleavedAndTheAlphaPlaneGivesTheLowestAlpha) {
  // 3 x 2, alpha all opaque: 255 becomes 256.
  {
    FakeHost host(PlanarImage(
        kModeRGB, 3, 2,
        {{1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}, {21, 22, 23, 24, 25, 26}, {255, 255, 255, 255, 255, 255}}));
    Acquired acquired;
    EXPECT_EQ(SaveAndCapture(host, acquired), 0);
    ASSERT_TRUE(acquired.seen);
    EXPECT_EQ(acquired.width, 3);
    EXPECT_EQ(acquired.height, 2);
    EXPECT_EQ(acquired.planes, 4);
    EXPECT_EQ(acquired.mode, kModeRGB);
    EXPECT_EQ(acquired.minAlpha, 256);
    const std::vector<uint8_t> expected{1, 11, 21, 255, 2, 12, 22, 255, 3, 13, 23, 255,
                                        4, 14, 24, 255, 5, 15, 25, 255, 6, 16, 26, 255};
    EXPECT_EQ(acquired.pixels, expected);
    // One whole plane per call, one byte per sample, planes apart from each other.
    ASSERT_EQ(host.Seen().dataRequests.size(), 4u);
    for (int plane = 0; plane < 4; ++plane) {
      const DataRequest& request = host.Seen().dataRequests[plane];
      EXPECT_EQ(request.loPlane, plane);
      EXPECT_EQ(request.hiPlane, plane);
      EXPECT_EQ(request.colBytes, 1);
      EXPECT_EQ(request.rowBytes, 3);
      EXPECT_EQ(request.planeBytes, 0);
      EXPECT_EQ(request.rect.top, 0);
      EXPECT_EQ(request.rect.left, 0);
    }
    EXPECT_EQ(host.Record().data, nullptr);
    ExpectAllGivenBack(host);
  }
  ResetDialogDouble();
  // One fully transparent pixel.
  {
    FakeHost host(PlanarImage(
        kModeRGB, 3, 2, {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {255, 255, 255, 255, 0, 255}}));
    Acquired acquired;
    EXPECT_EQ(SaveAndCapture(host, acquired), 0);
    EXPECT_EQ(acquired.minAlpha, 0);
  }
  ResetDialogDouble();
  // Lowest alpha 254 stays 254.
  {
    FakeHost host(PlanarImage(kModeRGB, 2, 1, {{1, 2}, {1, 2}, {1, 2}, {255, 254}}));
    Acquired acquired;
    EXPECT_EQ(SaveAndCapture(host, acquired), 0);
    EXPECT_EQ(acquired.minAlpha, 254);
  }
  ResetDialogDouble();
  // No alpha plane: not measured.
  {
    FakeHost host(PlanarImage(kModeRGB, 2, 1, {{0, 0}, {0, 0}, {0, 0}}));
    Acquired acquired;
    EXPECT_EQ(SaveAndCapture(host, acquired), 0);
    EXPECT_EQ(acquired.planes, 3);
    EXPECT_EQ(acquired.minAlpha, 500);
  }
}

TEST_F(AcquireTest, FiveRgbPlanesAreAllKeptAndOnlyTheFourthIsMeasured) {
  FakeHost host(PlanarImage(kModeRGB, 2, 1, {{10, 20}, {30, 40}, {50, 60}, {100, 200}, {0, 7}}));
  Acquired acquired;
  EXPECT_EQ(SaveAndCapture(host, acquired), 0);
  EXPECT_EQ(acquired.planes, 5);
  EXPECT_EQ(acquired.pixels, (std::vector<uint8_t>{10, 30, 50, 100, 0, 20, 40, 60, 200, 7}));
  EXPECT_EQ(acquired.minAlpha, 100);
}

TEST_F(AcquireTest, GrayWithTransparencyCopiesTheSecondChannelWithoutMeasuringIt) {
  // Leftovers of an earlier palette build must not survive into a new save.
  Palette.built = 1;
  Palette.builtCount = 5;
  Palette.count = 17;
  FakeHost host(PlanarImage(kModeGrayScale, 2, 2, {{9, 8, 7, 6}, {0, 50, 255, 128}}));
  Acquired acquired;
  EXPECT_EQ(SaveAndCapture(host, acquired), 0);
  EXPECT_EQ(acquired.mode, kModeGrayScale);
  EXPECT_EQ(acquired.planes, 2);
  EXPECT_EQ(acquired.minAlpha, 500);
  EXPECT_EQ(acquired.pixels, (std::vector<uint8_t>{9, 0, 8, 50, 7, 255, 6, 128}));
  EXPECT_EQ(acquired.palette.count, 0);
  EXPECT_EQ(acquired.palette.built, 0);
  EXPECT_EQ(acquired.palette.builtCount, 256);
}

TEST_F(AcquireTest, IndexedImagesFillThePaletteFromTheColourTables) {
  const auto indexed = [](int32_t transparentIndex) {
    HostImage image = PlanarImage(kModeIndexed, 4, 1, {{0, 7, 200, 255}});
    for (int i = 0; i < 256; ++i) {
      image.red[i] = static_cast<uint8_t>(i);
      image.green[i] = static_cast<uint8_t>(255 - i);
      image.blue[i] = static_cast<uint8_t>(i ^ 0x55);
    }
    image.transparentIndex = transparentIndex;
    return image;
  };

  FakeHost host(indexed(7));
  Acquired acquired;
  EXPECT_EQ(SaveAndCapture(host, acquired), 0);
  EXPECT_EQ(acquired.mode, kModeIndexed);
  EXPECT_EQ(acquired.planes, 1);
  EXPECT_EQ(acquired.pixels, (std::vector<uint8_t>{0, 7, 200, 255}));
  EXPECT_EQ(acquired.minAlpha, 500);
  EXPECT_EQ(acquired.palette.count, 256);
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = acquired.palette.entries[i];
    EXPECT_EQ(entry.red, i) << i;
    EXPECT_EQ(entry.green, 255 - i) << i;
    EXPECT_EQ(entry.blue, i ^ 0x55) << i;
    EXPECT_EQ(entry.alpha, i == 7 ? 0 : 255) << i;
    EXPECT_EQ(entry.mark, 0) << i;
  }

  // The last entry can be the transparent one.
  ResetDialogDouble();
  FakeHost last(indexed(255));
  Acquired lastSeen;
  EXPECT_EQ(SaveAndCapture(last, lastSeen), 0);
  EXPECT_EQ(lastSeen.palette.entries[255].alpha, 0);
  EXPECT_EQ(lastSeen.palette.entries[254].alpha, 255);
  EXPECT_EQ(lastSeen.palette.entries[7].alpha, 255);

  // No transparent entry: -1, and 256 (outside the table) alike.
  for (int32_t none : {-1, 256}) {
    ResetDialogDouble();
    Palette.entries[7].alpha = 0;
    FakeHost opaque(indexed(none));
    Acquired seen;
    EXPECT_EQ(SaveAndCapture(opaque, seen), 0) << none;
    for (int i = 0; i < 256; ++i) EXPECT_EQ(seen.palette.entries[i].alpha, 255) << none << " entry " << i;
  }
}

TEST_F(AcquireTest, CmykArrivesAsRgbThroughTheColorSpaceSuite) {
  // The fake host converts by R = 255 - min(255, C + K), likewise G from M and B from Y.
  FakeHost host(PlanarImage(kModeCMYK, 2, 2, {{10, 200, 0, 255}, {20, 100, 0, 0}, {30, 250, 0, 0}, {40, 60, 0, 0}}));
  Acquired acquired;
  EXPECT_EQ(SaveAndCapture(host, acquired), 0);
  EXPECT_EQ(acquired.mode, kModeRGB);
  EXPECT_EQ(acquired.planes, 3);
  EXPECT_EQ(acquired.minAlpha, 500);
  EXPECT_EQ(acquired.pixels, (std::vector<uint8_t>{205, 195, 185, 0, 95, 0, 255, 255, 255, 0, 255, 255}));
  EXPECT_EQ(host.Seen().colorConversions, 2);  // one per row
  EXPECT_EQ(host.SuiteUseOf(kColorSpaceSuiteName).acquired, 1);
  ExpectAllGivenBack(host);
}

TEST_F(AcquireTest, AFifthCmykPlaneBecomesTheAlphaChannel) {
  FakeHost host(PlanarImage(kModeCMYK, 3, 1, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 55, 255}, {255, 254, 9}}));
  Acquired acquired;
  EXPECT_EQ(SaveAndCapture(host, acquired), 0);
  EXPECT_EQ(acquired.mode, kModeRGB);
  EXPECT_EQ(acquired.planes, 4);
  EXPECT_EQ(acquired.pixels, (std::vector<uint8_t>{255, 255, 255, 255, 200, 200, 200, 254, 0, 0, 0, 9}));
  EXPECT_EQ(acquired.minAlpha, 9);

  ResetDialogDouble();
  FakeHost opaque(PlanarImage(kModeCMYK, 2, 1, {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {255, 255}}));
  Acquired seen;
  EXPECT_EQ(SaveAndCapture(opaque, seen), 0);
  EXPECT_EQ(seen.minAlpha, 256);
}

TEST_F(AcquireTest, CmykWiderThanOneConversionLeavesTheRestOfEachRowBlack) {
  const int32_t width = 32770;
  const std::vector<uint8_t> c(2 * width, 10), m(2 * width, 20), y(2 * width, 30), k(2 * width, 5);
  FakeHost host(PlanarImage(kModeCMYK, width, 2, {c, m, y, k}));
  Acquired acquired;
  EXPECT_EQ(SaveAndCapture(host, acquired), 0);
  ASSERT_EQ(acquired.width, width);
  ASSERT_EQ(acquired.planes, 3);
  for (int32_t row = 0; row < 2; ++row) {
    for (int32_t x : {0, 1, 32765, 32766}) {
      EXPECT_EQ(acquired.At(x, row, 0), 240) << x;
      EXPECT_EQ(acquired.At(x, row, 1), 230) << x;
      EXPECT_EQ(acquired.At(x, row, 2), 220) << x;
    }
    for (int32_t x : {32767, 32768, 32769}) {
      for (int channel = 0; channel < 3; ++channel) EXPECT_EQ(acquired.At(x, row, channel), 0) << x;
    }
  }
}

TEST_F(AcquireTest, DepthsAndModesItCannotTakeAreRefusedBeforeAnythingIsFetched) {
  struct Refused {
    int16_t mode;
    int16_t depth;
  };
  // 16-bit indexed and CMYK, 32 bits, and the 16-bit modes named with 8-bit samples.
  for (const Refused refused : {Refused{kModeIndexed, 16}, Refused{kModeCMYK, 16}, Refused{kModeRGB, 32},
                                Refused{kModeGray32, 32}, Refused{kModeRGB48, 8}}) {
    FakeHost host(PatternImage(kModeRGB, 3, 4, 4));
    host.Record().imageMode = refused.mode;
    host.Record().depth = refused.depth;
    ASSERT_TRUE(host.SetDestination(File("out.png")));
    EXPECT_EQ(host.Save(PluginMain), kFormatBadParameters) << refused.mode << " " << refused.depth;
    EXPECT_EQ(host.Seen().advanceStateCalls, 0);
    EXPECT_EQ(DialogSeen.opened, 0);
    ExpectAllGivenBack(host);
    host.CloseDestination();
    EXPECT_EQ(Contents(File("out.png")), "");
  }
}

TEST_F(AcquireTest, AFailedPlaneIsStillCopiedAndEndsTheFetch) {
  FakeHostOptions options;
  options.advanceStateFailPlane = 2;
  options.advanceStateFailCode = kIoErr;
  const HostImage image = PlanarImage(kModeRGB, 2, 1, {{1, 2}, {11, 12}, {21, 22}, {0, 0}});

  // Straight into the fetch, to see the image it leaves.
  {
    FakeHost host(image, options);
    int16_t result = 0;
    intptr_t slot = 0;
    HostCall.format = &host.Record();
    HostCall.result = &result;
    HostCall.data = &slot;
    HostCall.basic = host.Record().sSPBasic;
    HostCall.use32BitCoordinates = true;
    host.Record().PluginUsing32BitCoordinates = 1;
    result = ResultCode(WholePicture());
    EXPECT_EQ(result, kIoErr);
    EXPECT_EQ(host.Seen().advanceStateCalls, 3);
    // The third plane's buffer was never filled, so it still holds the second plane; the alpha plane is never
    // asked for and stays 0, unmeasured.
    ASSERT_NE(WholeImage.pixels, nullptr);
    const std::vector<uint8_t> pixels(WholeImage.pixels, WholeImage.pixels + 8);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{1, 11, 11, 0, 2, 12, 12, 0}));
    EXPECT_EQ(WholeImage.MinAlpha, 500);
    EXPECT_EQ(host.Record().data, nullptr);
    EXPECT_EQ(host.Seen().buffers.LiveCount(), 0u);
    FreeWholeImagePixels();
    ReleaseSuites();
    HostCall = HostCallRecord{};
  }
  // Through the entry: the host's code, no dialog, nothing kept.
  {
    FakeHost host(image, options);
    ASSERT_TRUE(host.SetDestination(File("out.png")));
    EXPECT_EQ(host.Save(PluginMain), kIoErr);
    EXPECT_EQ(host.Seen().advanceStateCalls, 3);
    EXPECT_EQ(DialogSeen.opened, 0);
    ExpectAllGivenBack(host);
  }
}

TEST_F(AcquireTest, ARefusedColorSpaceSuiteCancelsAndGivesEverythingBack) {
  FakeHostOptions options;
  options.refusedSuites = {kColorSpaceSuiteName};
  FakeHost host(PatternImage(kModeCMYK, 4, 3, 2), options);
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  EXPECT_EQ(host.Save(PluginMain), kUserCanceledErr);
  EXPECT_EQ(host.SuiteUseOf(kColorSpaceSuiteName).refused, 1);
  EXPECT_EQ(host.Seen().colorConversions, 0);
  EXPECT_EQ(DialogSeen.opened, 0);
  ExpectAllGivenBack(host);
  const std::string log = Contents("VexlorinLog.txt");
  EXPECT_NE(log.find("Failt to Acquire Suite in WholePicture\n"), std::string::npos);
  EXPECT_NE(log.find("Cannot alloc Suite\n"), std::string::npos);
  EXPECT_EQ(log.find("END CMYK converting to RGB"), std::string::npos);  // nothing was converted
}

TEST_F(AcquireTest, APlaneTooLargeForOneHostBufferCancelsWithoutFetching) {
  // 65536 x 65537 one-byte samples are 4 GiB and 64 KiB: more than one buffer of the host can hold. Asking for
  // the size cut to 32 bits would borrow 64 KiB and then fill a whole plane from it.
  FakeHost host(PatternImage(kModeGrayScale, 1, 1, 1));
  host.Record().imageSize32 = VPoint{65537, 65536};
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  EXPECT_EQ(host.Save(PluginMain), kUserCanceledErr);
  EXPECT_EQ(host.Seen().buffers.NewCount(), 0);
  EXPECT_EQ(host.Seen().advanceStateCalls, 0);
  EXPECT_EQ(DialogSeen.opened, 0);
  ExpectAllGivenBack(host);
}

TEST_F(AcquireTest, ABufferTheHostCannotLendCancels) {
  FakeHostOptions options;
  options.bufferNewRefuses = true;
  FakeHost host(PatternImage(kModeRGB, 3, 3, 2), options);
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  EXPECT_EQ(host.Save(PluginMain), kUserCanceledErr);
  EXPECT_EQ(host.Seen().advanceStateCalls, 0);
  EXPECT_EQ(DialogSeen.opened, 0);
  ExpectAllGivenBack(host);
}

}  // namespace
