// Fuzz target: a whole save through PluginMain and the fake host (write prepare to write finish), with the
// dialog stand-in: acquisition, the scripting parameters, DoFilter and CompressPNG on small arbitrary images
// with arbitrary option values.
//
// Input, front to back (missing bytes read as zeros):
//   mode (1 + byte % 4: gray, indexed, RGB, CMYK), planes (1 + byte % 6), width and height (1 + byte % 64),
//   flags (bit 0 cancel in the dialog, bit 1 indexed transparency at the next byte's index, bit 2 no 32-bit
//   coordinates, bit 3 advance state fails at plane byte % planes, bit 4 a large image: width and height ten
//   times as many, samples each mixed with its position so that nearly every pixel has a colour of its own, which
//   takes the reduction and the palette refinement through their bands on several threads; the seed replay only,
//   libFuzzer's runs keep to small images), transparent index,
//   failing plane,
//   a 16-bit mask of the options handed in as scripting parameters (bit i: key i of kOptionKeys),
//   fourteen 32-bit values (little-endian) for them;
//   then the samples, plane after plane, and the host's colour table, repeated from the rest of the input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include "base/platform.h"
#include "host/host_call.h"
#include "host/plugin_main.h"
#include "host/script_params.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "reduce/median_cut.h"
#include "testhost/dialog_double.h"
#include "testhost/fake_host.h"
#include "testhost/image_io.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const DescriptorKeyID kOptionKeys[] = {
    FourCharCode("Left"), FourCharCode("TopW"), FourCharCode("Wdth"), FourCharCode("Hght"),
    FourCharCode("Type"), FourCharCode("NPal"), FourCharCode("UAlC"), FourCharCode("UCCl"),
    FourCharCode("UCDf"), FourCharCode("FlCl"), FourCharCode("Dthr"), FourCharCode("Rfne"),
    FourCharCode("Cmpr"), FourCharCode("Qlty"), FourCharCode("Meta"), FourCharCode("CsRG"),
};
constexpr int kOptionCount = static_cast<int>(std::size(kOptionKeys));

// Width and height of a large image against a small one: up to 640 x 640, more than one band of rows.
constexpr int32_t kLargeScale = 10;
// Under libFuzzer's instrumentation a large image takes seconds, mutated ones up to a minute: its runs keep to
// small images, and the replay of the seeds (the sanitizer build's test) takes the large one through the bands.
#ifdef VEX_FUZZ_SMALL_IMAGES
constexpr bool kLargeImages = false;
#else
constexpr bool kLargeImages = true;
#endif

// The plug-in's folder and the working folder (the log goes there), private to this process.
std::filesystem::path workFolder;

void RemoveWorkFolder() {
  std::error_code ignored;
  if (!workFolder.empty()) std::filesystem::remove_all(workFolder, ignored);
}

// Each save starts without a settings file, a log or an earlier output: nothing carries over between inputs.
void ClearWorkFolder() {
  for (const char* name : {"Vexlorin.ini", "VexlorinLog.txt", "out.png", "out.png.temp"}) {
    std::error_code ignored;
    std::filesystem::remove(workFolder / name, ignored);
  }
}

struct SaveCase {
  HostImage image;
  FakeHostOptions hostOptions;
  bool cancel = false;
  bool failingPlane = false;
  DescriptorItems parameters;
  bool handsInParameters = false;
  SaveOptionsRecord options;  // what the save works with: the defaults under the parameters handed in
};

SaveCase ReadCase(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  SaveCase save;
  HostImage& image = save.image;
  image.mode = static_cast<int16_t>(1 + input.Byte() % 4);
  image.planes = static_cast<int16_t>(1 + input.Byte() % 6);
  image.width = 1 + input.Byte() % 64;
  image.height = 1 + input.Byte() % 64;
  const uint8_t flags = input.Byte();
  const bool large = kLargeImages && (flags & 16) != 0;
  if (large) {
    image.width *= kLargeScale;
    image.height *= kLargeScale;
  }
  const uint8_t transparentIndex = input.Byte();
  const uint8_t failingPlane = input.Byte();
  save.cancel = (flags & 1) != 0;
  if ((flags & 2) != 0) image.transparentIndex = transparentIndex;
  save.hostOptions.supports32BitCoordinates = (flags & 4) == 0;
  if ((flags & 8) != 0) {
    save.failingPlane = true;
    save.hostOptions.advanceStateFailPlane = failingPlane % image.planes;
  }
  const uint8_t maskLow = input.Byte();  // two statements: the order of operands within one is unspecified
  const uint16_t mask = static_cast<uint16_t>(maskLow | input.Byte() << 8);
  save.handsInParameters = (mask & ((1u << kOptionCount) - 1)) != 0;
  for (int i = 0; i < kOptionCount; ++i) {
    const int32_t value = input.Int32();
    if ((mask >> i & 1) != 0) save.parameters.push_back({kOptionKeys[i], value});
  }

  const uint8_t* rest = input.Rest();
  const size_t restSize = input.RestSize();
  const size_t samples = static_cast<size_t>(image.planes) * image.width * image.height;
  image.planar.resize(samples);
  for (size_t i = 0; i < samples; ++i) {
    const uint8_t sample = restSize > 0 ? rest[i % restSize] : 0;
    image.planar[i] = large ? static_cast<uint8_t>(sample ^ (static_cast<uint32_t>(i) * 2654435761u >> 24)) : sample;
  }
  for (size_t i = 0; i < 256; ++i) {
    image.red[i] = restSize > 0 ? rest[(samples + 3 * i) % restSize] : 0;
    image.green[i] = restSize > 0 ? rest[(samples + 3 * i + 1) % restSize] : 0;
    image.blue[i] = restSize > 0 ? rest[(samples + 3 * i + 2) % restSize] : 0;
  }

  for (const DescriptorItem& item : save.parameters) StoreScriptValue(save.options, item.key, item.value);
  return save;
}

// Where the reduction copies samples unchanged: the PNG holds exactly the host's image.
void CheckCopiedSamples(const SaveCase& save, const HostImage& png) {
  const SaveOptionsRecord usable = UsableOptions(save.options);
  const bool rgbAsRgb = save.image.mode == kModeRGB && save.image.planes == 3 && usable.pngType == kPngRgb;
  const bool grayAsGray =
      save.image.mode == kModeGrayScale && save.image.planes == 1 && usable.pngType == kPngGrayscale;
  if (!rgbAsRgb && !grayAsGray) return;
  VEX_FUZZ_CHECK(png.mode == save.image.mode && png.planes == save.image.planes);
  VEX_FUZZ_CHECK(png.planar == save.image.planar);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* temp = std::getenv("TMPDIR");
  std::string pattern = std::string(temp != nullptr && *temp != '\0' ? temp : "/tmp") + "/vexlorin-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("save_fuzzer: cannot make a work folder");
    std::abort();
  }
  workFolder = pattern;
  std::atexit(RemoveWorkFolder);
  std::filesystem::current_path(workFolder);
  platform::SetNativeModuleFileName(platform::FromUtf8((workFolder / "Vexlorin.8bi").string()));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const SaveCase save = ReadCase(data, size);
  ClearWorkFolder();
  // Every input stands alone, so a crash input reproduces by itself. The real dialog releases the colour
  // map when it closes; the stand-in does not.
  ReleaseColorMap();
  Palette = PaletteRecord{};
  ResetDialogDouble();
  DialogScript.cancel = save.cancel;
  const std::string output = (workFolder / "out.png").string();

  FakeHost host(save.image, save.hostOptions);
  VEX_FUZZ_CHECK(host.SetDestination(output));
  if (save.handsInParameters) host.SetParameters(save.parameters);
  const int16_t result = host.Save(PluginMain);
  host.CloseDestination();

  // Whatever happened, everything borrowed from the host went back, once, and no temporary file is left.
  const FakeHostState& seen = host.Seen();
  VEX_FUZZ_CHECK(seen.buffers.LiveCount() == 0 && seen.buffers.BadDisposeCount() == 0);
  VEX_FUZZ_CHECK(seen.handles.BadDisposeCount() == 0);
  for (const char* suite : {kHandleSuiteName, kBufferSuiteName, kColorSpaceSuiteName}) {
    VEX_FUZZ_CHECK(host.SuiteUseOf(suite).acquired == host.SuiteUseOf(suite).released);
  }
  VEX_FUZZ_CHECK(!std::filesystem::exists(output + ".temp"));
  std::error_code sizeError;
  const uintmax_t written = std::filesystem::file_size(output, sizeError);
  VEX_FUZZ_CHECK(!sizeError);

  if (save.image.mode == kModeCMYK && save.image.planes < 4) {
    VEX_FUZZ_CHECK(result == kFormatBadParameters && DialogSeen.opened == 0 && written == 0);
    return 0;
  }
  if (save.failingPlane) {
    VEX_FUZZ_CHECK(result == kUserCanceledErr && DialogSeen.opened == 0 && written == 0);
    return 0;
  }
  VEX_FUZZ_CHECK(DialogSeen.opened == 1);
  if (save.cancel) {
    VEX_FUZZ_CHECK(result == kUserCanceledErr && written == 0);
    return 0;
  }
  // No host sends an RGB image without its three colour planes: such an image may fail to encode (nothing to
  // build a palette from), as a write error that leaves the file empty.
  if (save.image.mode == kModeRGB && save.image.planes < 3 && result == kWriteErr) {
    VEX_FUZZ_CHECK(written == 0);
    return 0;
  }

  // A saved PNG is what the dialog reported, a PNG a reader accepts, of the image's size.
  if (result != kNoErr) std::fprintf(stderr, "save_fuzzer: the save gave %d\n", result);
  VEX_FUZZ_CHECK(result == kNoErr);
  VEX_FUZZ_CHECK(DialogSeen.compressedSize > 0 && written == static_cast<uintmax_t>(DialogSeen.compressedSize));
  std::string error;
  const std::optional<HostImage> png = ReadImageFile(output, &error);
  if (!png) std::fprintf(stderr, "save_fuzzer: the saved file does not read back: %s\n", error.c_str());
  VEX_FUZZ_CHECK(png.has_value());
  VEX_FUZZ_CHECK(png->width == save.image.width && png->height == save.image.height);
  CheckCopiedSamples(save, *png);

  // What write finish recorded is the options the save worked with.
  SaveOptionsRecord recorded;
  for (const DescriptorItem& item : host.RecordedDescriptor()) StoreScriptValue(recorded, item.key, item.value);
  VEX_FUZZ_CHECK(SameOptions(recorded, save.options));
  return 0;
}
