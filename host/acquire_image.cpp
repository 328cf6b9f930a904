#include "host/acquire_image.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "base/debug_log.h"
#include "base/page_block.h"
#include "base/platform.h"
#include "host/host_call.h"
#include "records/palette.h"
#include "records/sample_depth.h"
#include "records/whole_image.h"

namespace {

constexpr int32_t kLargestConversion = 32767;
// The image record keeps the host's numbers for the modes it holds.
static_assert(kWholeGray == kModeGrayScale && kWholeIndexed == kModeIndexed && kWholeRgb == kModeRGB,
              "WholeMode numbers are the host's");  // the colour-space suite converts at most this many per call

// Owns the one-plane buffer lent by the host's Buffer suite.
class HostPlaneBuffer {
 public:
  HostPlaneBuffer(const PSBufferSuite1* suite, uint32_t bytes) : suite_(suite) {
    uint32_t requested = bytes;
    data_ = suite_->New(&requested, bytes);
  }
  ~HostPlaneBuffer() { suite_->Dispose(&data_); }
  HostPlaneBuffer(const HostPlaneBuffer&) = delete;
  HostPlaneBuffer& operator=(const HostPlaneBuffer&) = delete;
  uint8_t* data() const { return reinterpret_cast<uint8_t*>(data_); }

 private:
  const PSBufferSuite1* suite_;
  char* data_ = nullptr;
};

// The ColorSpace suite, taken straight from the basic suite for the conversion and given back after it.
class ColorSpaceSuite {
 public:
  ColorSpaceSuite() {
    DebugLog("Before Acquire kPSColorSpaceSuite WholePicture");
    const void* suite = nullptr;
    const SPErr error = HostCall.basic != nullptr && HostCall.basic->AcquireSuite != nullptr
                            ? HostCall.basic->AcquireSuite(kColorSpaceSuiteName, kColorSpaceSuiteVersion, &suite)
                            : kSPBadParameterError;
    if (error != kSPNoError) DebugLog("Failt to Acquire Suite in WholePicture");
    if (error == kSPNoError) suite_ = static_cast<const PSColorSpaceSuite1*>(suite);
  }
  ~ColorSpaceSuite() {
    if (suite_ != nullptr) HostCall.basic->ReleaseSuite(kColorSpaceSuiteName, kColorSpaceSuiteVersion);
  }
  ColorSpaceSuite(const ColorSpaceSuite&) = delete;
  ColorSpaceSuite& operator=(const ColorSpaceSuite&) = delete;
  const PSColorSpaceSuite1* get() const { return suite_; }

 private:
  const PSColorSpaceSuite1* suite_ = nullptr;
};

// 0 when the block could not be addressed on this architecture.
size_t ByteCount(int32_t width, int32_t height, int32_t planes) {
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * static_cast<uint64_t>(planes);
  return bytes > SIZE_MAX ? 0 : static_cast<size_t>(bytes);
}

bool AllocateWholeImage(int32_t width, int32_t height, int32_t planes) {
  WholeImage._WholeWidth = width;
  WholeImage._WholeHeight = height;
  WholeImage._WholePlanesIn = planes;
  WholeImage.rowStride = width * planes;
  const size_t bytes = ByteCount(width, height, planes);
  const bool addressable = bytes > 0 || width == 0 || height == 0;
  WholeImage.pixels = addressable ? static_cast<uint8_t*>(platform::AllocatePages(bytes)) : nullptr;
  WholeImage.pixelBytes = WholeImage.pixels != nullptr ? bytes : 0;
  return WholeImage.pixels != nullptr;
}

// The 16-bit samples beside the 8-bit pixels, laid out as they are.
bool AllocateWholeImage16(int32_t width, int32_t height, int32_t planes) {
  const size_t bytes = ByteCount(width, height, planes) * 2;
  if (bytes == 0 && width > 0 && height > 0) return false;
  WholeImage16.samples = static_cast<uint16_t*>(platform::AllocatePages(bytes));
  if (WholeImage16.samples == nullptr) return false;
  WholeImage16.sampleBytes = bytes;
  WholeImage16.width = width;
  WholeImage16.height = height;
  WholeImage16.planes = planes;
  WholeImage16.mode = WholeImage._WholeMode;
  return true;
}

// The mode WholeImage keeps for a document this plug-in can take, or 0: 8-bit gray, indexed, RGB and CMYK, and
// 16-bit gray and RGB, which a host may name by their channels (1, 3) or by their depth (10, 11).
int32_t AcceptedMode(int16_t mode, int16_t depth) {
  if (depth == 8 && (mode == kModeGrayScale || mode == kModeIndexed || mode == kModeRGB || mode == kModeCMYK)) {
    return mode;
  }
  if (depth == 16 && (mode == kModeGrayScale || mode == kModeGray16)) return kWholeGray;
  if (depth == 16 && (mode == kModeRGB || mode == kModeRGB48)) return kWholeRgb;
  return 0;
}

void FillPaletteFromHost(const FormatRecord& format) {
  if (format.imageMode != kModeIndexed) {
    Palette.count = 0;
    return;
  }
  Palette.count = 256;
  for (int i = 0; i < 256; ++i) {
    Palette.entries[i] = PaletteEntry{format.redLUT[i], format.greenLUT[i], format.blueLUT[i], 255, 0};
  }
  const uint32_t transparent = static_cast<uint32_t>(format.transparentIndex);
  if (transparent <= 255) Palette.entries[transparent].alpha = 0;
}

// Asks the host for each plane in turn and scatters it (16-bit planes also into WholeImage16); stops after the
// first plane whose fetch failed, with the host's code.
HostStatus FetchPlanes(uint8_t* buffer, int32_t rowBytes, uint8_t* target, int32_t width, int32_t height,
                       int32_t planes, bool measureAlpha) {
  FormatRecord& format = *HostCall.format;
  for (int32_t plane = 0; plane < planes; ++plane) {
    format.loPlane = static_cast<int16_t>(plane);
    format.hiPlane = static_cast<int16_t>(plane);
    const HostStatus fetched = HostStatus::FromHost(format.advanceState());
    const bool alpha = measureAlpha && planes >= 4 && plane == 3;
    int32_t* minAlpha = alpha ? &WholeImage.MinAlpha : nullptr;
    if (WholeImage16.samples != nullptr) {
      ScatterPlane16(reinterpret_cast<const uint16_t*>(buffer), rowBytes / 2, target, WholeImage16.samples, width,
                     height, planes, plane, minAlpha);
    } else {
      ScatterPlane(buffer, rowBytes, target, width, height, planes, plane, minAlpha);
    }
    if (fetched != HostStatus::Ok) return fetched;
  }
  return HostStatus::Ok;
}

// CMYK arrives interleaved in byteCMYK and leaves as RGB (plus the fifth plane as alpha) in WholeImage.
HostStatus ConvertCmykToRgb(const uint8_t* byteCMYK, int32_t width, int32_t height, int32_t hostPlanes) {
  ColorSpaceSuite colorSpace;
  if (colorSpace.get() == nullptr) {
    DebugLog("Cannot alloc Suite");
    return HostStatus::Failed;
  }
  DebugLog("Will use kPSColorSpaceSuite in WholePicture");
  const int32_t converted = std::min(width, kLargestConversion);
  std::vector<uint8_t> colors(static_cast<size_t>(converted) * 4);
  const int32_t outPlanes = WholeImage._WholePlanesIn;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = byteCMYK + static_cast<size_t>(y) * width * hostPlanes;
    for (int32_t x = 0; x < converted; ++x) std::copy_n(row + static_cast<size_t>(x) * hostPlanes, 4, &colors[x * 4]);
    colorSpace.get()->Convert8(kColorSpaceCMYK, kColorSpaceRGB, reinterpret_cast<Color8*>(colors.data()),
                               static_cast<int16_t>(converted));
    uint8_t* out = WholeImage.pixels + static_cast<size_t>(y) * WholeImage.rowStride;
    for (int32_t x = 0; x < converted; ++x) {
      uint8_t* pixel = out + static_cast<size_t>(x) * outPlanes;
      std::copy_n(&colors[x * 4 + 1], 3, pixel);
      if (hostPlanes > 4) {
        pixel[3] = row[static_cast<size_t>(x) * hostPlanes + 4];
        WholeImage.MinAlpha = std::min<int32_t>(WholeImage.MinAlpha, pixel[3]);
      }
    }
  }
  DebugLog("kPSColorSpaceSuite before Release");
  return HostStatus::Ok;
}

HostStatus AcquireCmyk(uint8_t* buffer, int32_t rowBytes, int32_t width, int32_t height, int32_t hostPlanes) {
  DebugLog("CMYK will convert to RGB");
  WholeImage._WholeMode = kWholeRgb;
  if (!AllocateWholeImage(width, height, hostPlanes - 1)) return HostStatus::Failed;
  const size_t cmykBytes = ByteCount(width, height, hostPlanes);
  PageBlock byteCMYK(cmykBytes);
  // No bytes at all for a pixel-less image; none for a real one means it cannot be addressed here.
  const bool needed = width > 0 && height > 0;
  if (needed && !byteCMYK) {
    DebugLog("CANNOT ALLOC byteCMYK");
    return HostStatus::Failed;
  }
  // Planes the host did not deliver are converted as they are; the fetch's failure is the answer all the same.
  const HostStatus fetched = FetchPlanes(buffer, rowBytes, byteCMYK.data(), width, height, hostPlanes, false);
  const HostStatus conversion = ConvertCmykToRgb(byteCMYK.data(), width, height, hostPlanes);
  if (conversion != HostStatus::Ok) return conversion;  // nothing was converted, and the log has said why
  DebugLog("END CMYK converting to RGB");
  return fetched;
}

// Products and sums that stop at the largest value instead of wrapping.
uint64_t Times(uint64_t a, uint64_t b) { return a != 0 && b > UINT64_MAX / a ? UINT64_MAX : a * b; }
uint64_t Plus(uint64_t a, uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }

}  // namespace

bool ImageFitsInMemory(int32_t columns, int32_t rows, int32_t hostPlanes, bool cmyk, uint64_t addressSpace,
                       int32_t depth) {
  if (columns <= 0 || rows <= 0 || hostPlanes <= 0) return true;  // nothing to hold
  const uint64_t width = static_cast<uint64_t>(columns);
  const uint64_t height = static_cast<uint64_t>(rows);
  const uint64_t planes = static_cast<uint64_t>(hostPlanes);
  const uint64_t imagePlanes = cmyk ? planes - 1 : planes;
  const uint64_t sampleBytes = depth == 16 ? 2 : 1;
  const bool alpha = HasAlphaPlane(static_cast<int32_t>(imagePlanes));
  constexpr uint64_t kLargestRow = INT32_MAX;
  if (width * 8 * sampleBytes + 7 > kLargestRow || width * planes * sampleBytes > kLargestRow ||
      width * 4 > kLargestRow) {
    return false;
  }

  const uint64_t plane = Times(Times(width, height), sampleBytes);
  // A 16-bit document is held twice: its own samples (2 bytes each) and their 8-bit image.
  const uint64_t heldBytes = sampleBytes == 2 ? 3 : 1;
  const uint64_t image = Times(Times(width, height), Times(imagePlanes, heldBytes));
  const uint64_t fetching = Plus(Plus(plane, image), cmyk ? Times(plane, planes) : 0);
  const uint64_t reduced = Times(Times(width, height + 2), alpha ? 4 : 3);
  const uint64_t reducing = Plus(image, reduced);
  return fetching <= addressSpace && reducing <= addressSpace;
}

void ScatterPlane16(const uint16_t* source, int32_t sourceRowSamples, uint8_t* pixels, uint16_t* samples, int32_t width,
                    int32_t height, int32_t planes, int32_t plane, int32_t* minAlpha) {
  int32_t lowest = minAlpha != nullptr ? *minAlpha : 0;
  for (int32_t y = 0; y < height; ++y) {
    const uint16_t* in = source + static_cast<size_t>(y) * sourceRowSamples;
    const size_t first = static_cast<size_t>(y) * width * planes + plane;
    uint8_t* out = pixels + first;
    uint16_t* out16 = samples + first;
    for (int32_t x = 0; x < width; ++x, out += planes, out16 += planes) {
      *out = EightBitSample(in[x]);
      *out16 = FileSample16(in[x]);
      if (*out < lowest) lowest = *out;
    }
  }
  if (minAlpha != nullptr) *minAlpha = lowest;
}

void ScatterPlane(const uint8_t* source, int32_t sourceRowBytes, uint8_t* pixels, int32_t width, int32_t height,
                  int32_t planes, int32_t plane, int32_t* minAlpha) {
  int32_t lowest = minAlpha != nullptr ? *minAlpha : 0;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = source + static_cast<size_t>(y) * sourceRowBytes;
    uint8_t* out = pixels + static_cast<size_t>(y) * width * planes + plane;
    for (int32_t x = 0; x < width; ++x, out += planes) {
      *out = in[x];
      if (in[x] < lowest) lowest = in[x];
    }
  }
  if (minAlpha != nullptr) *minAlpha = lowest;
}

HostStatus WholePicture() {
  FormatRecord& format = *HostCall.format;
  WholeImage.MinAlpha = 500;
  Palette.count = 0;
  Palette.built = 0;
  Palette.builtCount = 256;
  // Locks belong to one image in one dialog; a new image starts with none.
  for (PaletteEntry& entry : Palette.entries) entry.mark = 0;

  const int32_t rows = ImageRows();
  const int32_t columns = ImageColumns();
  const int32_t planes = format.planes;
  // Samples of another depth, or of a mode read otherwise, would be read as garbage.
  const int32_t mode = AcceptedMode(format.imageMode, format.depth);
  if (mode == 0 || rows < 0 || columns < 0 || planes < 1 || (mode == kModeCMYK && planes < 4)) {
    return HostStatus::BadParameters;
  }
  WholeImage._WholeMode = mode;

  // An image whose buffers cannot all exist in this process is refused before anything is borrowed or allocated,
  // and so no size below is ever cut to fit 32 bits.
  if (!ImageFitsInMemory(columns, rows, planes, mode == kModeCMYK, platform::AddressSpaceBytes(), format.depth)) {
    return HostStatus::OutOfMemory;
  }

  const PSBufferSuite1* bufferSuite = BufferSuite();
  if (bufferSuite == nullptr) return HostStatus::HostInsufficient;
  const int32_t rowBytes = (columns * format.depth + 7) / 8;
  // The Buffer suite counts in 32 bits: a plane beyond that cannot be lent, and a size cut to 32 bits would
  // borrow too little for the plane that advance state and the copy then run through.
  const uint64_t planeBytes = static_cast<uint64_t>(rows) * static_cast<uint64_t>(rowBytes);
  if (planeBytes > UINT32_MAX) return HostStatus::Failed;
  HostPlaneBuffer buffer(bufferSuite, static_cast<uint32_t>(planeBytes));
  if (buffer.data() == nullptr) return HostStatus::Failed;
  format.colBytes = static_cast<int16_t>((format.depth + 7) / 8);
  format.rowBytes = rowBytes;
  format.planeBytes = 0;
  format.data = buffer.data();
  format.transparencyMatting = kMattingNone;
  SetRequestedRect(0, 0, rows, columns);

  FillPaletteFromHost(format);
  FreeWholeImagePixels();
  WholeImage.documentDepth = format.depth;

  HostStatus acquired = HostStatus::Failed;
  if (mode == kModeCMYK) {
    acquired = AcquireCmyk(buffer.data(), rowBytes, columns, rows, planes);
  } else if (AllocateWholeImage(columns, rows, planes) &&
             (format.depth == 8 || AllocateWholeImage16(columns, rows, planes))) {
    acquired = FetchPlanes(buffer.data(), rowBytes, WholeImage.pixels, columns, rows, planes, true);
  }

  format.data = nullptr;
  if (WholeImage.MinAlpha == 255) WholeImage.MinAlpha = 256;
  return acquired;
}
