#include "reduce/srgb_conversion.h"

#include <lcms2.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "base/row_bands.h"

namespace {

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using ProfileOwner = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using TransformOwner = std::unique_ptr<void, TransformDeleter>;

struct ToneCurveFreer {
  void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};

// The gray counterpart of sRGB: D50 white and sRGB's piecewise curve (type 4: a linear toe below 0.04045).
ProfileOwner SrgbGrayProfile() {
  const cmsFloat64Number parameters[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  const std::unique_ptr<cmsToneCurve, ToneCurveFreer> curve(cmsBuildParametricToneCurve(nullptr, 4, parameters));
  if (curve == nullptr) return nullptr;
  return ProfileOwner(cmsCreateGrayProfile(cmsD50_xyY(), curve.get()));
}

// The rows of an image at either depth, for converting in place.
struct ImageRows {
  uint8_t* first = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  size_t rowBytes = 0;
};

ImageRows RowsOf(WholeImageRecord& image) {
  return {image.pixels, image._WholeWidth, image._WholeHeight, static_cast<size_t>(image.rowStride)};
}

ImageRows RowsOf(WholeImage16Record& image) {
  return {reinterpret_cast<uint8_t*>(image.samples), image.width, image.height,
          static_cast<size_t>(image.width) * static_cast<size_t>(image.planes) * 2};
}

// Runs convertRows(rows, count) over the image's rows in bands on every processor.
void ConvertInBands(const ImageRows& image, const std::function<void(uint8_t* rows, int32_t count)>& convertRows) {
  if (image.width <= 0 || image.height <= 0) return;
  RowBands bands;
  bands.height = image.height;
  bands.bandRows = BandRowsFor(image.width);
  bands.threads = ReductionThreads();
  RunRowBands(
      bands,
      [&](int32_t, int32_t first, int32_t end) {
        convertRows(image.first + static_cast<size_t>(first) * image.rowBytes, end - first);
      },
      [](int32_t) { return true; });
}

constexpr cmsUInt32Number kIntentFlags = cmsFLAGS_BLACKPOINTCOMPENSATION;

// RGB pixels with their alpha (kept as it is), converted in place by one transform shared by the bands:
// cmsDoTransform keeps its one-pixel cache on the stack, and each pixel is read before it is written.
bool ConvertRgb(const ImageRows& image, int32_t planes, int32_t sampleBytes, cmsHPROFILE source) {
  const ProfileOwner srgb(cmsCreate_sRGBProfile());
  if (srgb == nullptr) return false;
  const cmsUInt32Number format = COLORSPACE_SH(PT_RGB) | CHANNELS_SH(3) |
                                 BYTES_SH(static_cast<cmsUInt32Number>(sampleBytes)) |
                                 EXTRA_SH(static_cast<cmsUInt32Number>(planes - 3));
  const TransformOwner transform(cmsCreateTransform(source, format, srgb.get(), format, INTENT_RELATIVE_COLORIMETRIC,
                                                    kIntentFlags | cmsFLAGS_COPY_ALPHA));
  if (transform == nullptr) return false;
  const cmsUInt32Number stride = static_cast<cmsUInt32Number>(image.rowBytes);
  const cmsUInt32Number width = static_cast<cmsUInt32Number>(image.width);
  ConvertInBands(image, [&](uint8_t* rows, int32_t count) {
    cmsDoTransformLineStride(transform.get(), rows, rows, width, static_cast<cmsUInt32Number>(count), stride, stride, 0,
                             0);
  });
  return true;
}

// Gray has 256 levels, or 65536 at 16 bits: each is converted once, unoptimised (Little CMS's 8-bit curve joining
// loses the darkest levels of a linear profile by half), and the pixels are looked up.
template <typename Sample>
bool ConvertGray(const ImageRows& image, int32_t planes, cmsHPROFILE source) {
  const ProfileOwner srgbGray = SrgbGrayProfile();
  if (srgbGray == nullptr) return false;
  const cmsUInt32Number format = sizeof(Sample) == 1 ? TYPE_GRAY_8 : TYPE_GRAY_16;
  const TransformOwner transform(cmsCreateTransform(source, format, srgbGray.get(), format,
                                                    INTENT_RELATIVE_COLORIMETRIC, kIntentFlags | cmsFLAGS_NOOPTIMIZE));
  if (transform == nullptr) return false;
  constexpr size_t kLevels = size_t{1} << (8 * sizeof(Sample));
  std::vector<Sample> levels(kLevels);
  for (size_t level = 0; level < kLevels; ++level) levels[level] = static_cast<Sample>(level);
  std::vector<Sample> converted(kLevels);
  cmsDoTransform(transform.get(), levels.data(), converted.data(), static_cast<cmsUInt32Number>(kLevels));
  ConvertInBands(image, [&](uint8_t* rows, int32_t count) {
    for (int32_t y = 0; y < count; ++y, rows += image.rowBytes) {
      Sample* row = reinterpret_cast<Sample*>(rows);
      for (int32_t x = 0; x < image.width; ++x) row[x * planes] = converted[row[x * planes]];
    }
  });
  return true;
}

// The checks both depths share; the profile opened, or null where there is nothing to convert.
ProfileOwner SourceProfileFor(int32_t mode, int32_t planes, const ImageRows& rows, size_t rowBytesNeeded,
                              const std::vector<uint8_t>& profile) {
  const bool rgb = mode == kWholeRgb;
  const int32_t colors = rgb ? 3 : 1;
  if (!rgb && mode != kWholeGray) return nullptr;
  if (planes < colors || planes > colors + 1) return nullptr;
  if (profile.empty() || profile.size() > std::numeric_limits<cmsUInt32Number>::max()) return nullptr;
  if (rows.width < 0 || rows.height < 0 || rows.rowBytes < rowBytesNeeded) return nullptr;
  if (rows.width > 0 && rows.height > 0 && rows.first == nullptr) return nullptr;
  ProfileOwner source(cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())));
  if (source == nullptr || cmsGetColorSpace(source.get()) != (rgb ? cmsSigRgbData : cmsSigGrayData)) return nullptr;
  return source;
}

}  // namespace

bool ConvertToSrgb(WholeImageRecord& image, const std::vector<uint8_t>& profile) {
  const int32_t planes = image._WholePlanesIn;
  const ImageRows rows = RowsOf(image);
  const size_t needed = static_cast<size_t>(std::max(image._WholeWidth, 0)) * static_cast<size_t>(std::max(planes, 0));
  const ProfileOwner source = SourceProfileFor(image._WholeMode, planes, rows, needed, profile);
  if (source == nullptr) return false;
  return image._WholeMode == kWholeRgb ? ConvertRgb(rows, planes, 1, source.get())
                                       : ConvertGray<uint8_t>(rows, planes, source.get());
}

bool ConvertToSrgb(WholeImage16Record& image, const std::vector<uint8_t>& profile) {
  const ImageRows rows = RowsOf(image);
  const ProfileOwner source = SourceProfileFor(image.mode, image.planes, rows, rows.rowBytes, profile);
  if (source == nullptr) return false;
  return image.mode == kWholeRgb ? ConvertRgb(rows, image.planes, 2, source.get())
                                 : ConvertGray<uint16_t>(rows, image.planes, source.get());
}
