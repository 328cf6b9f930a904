#include "reduce/srgb_conversion.h"

#include <lcms2.h>

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>

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

// Runs convertRows(rows, count) over the image's rows in bands on every processor.
void ConvertInBands(WholeImageRecord& image, const std::function<void(uint8_t* rows, int32_t count)>& convertRows) {
  if (image._WholeWidth <= 0 || image._WholeHeight <= 0) return;
  RowBands bands;
  bands.height = image._WholeHeight;
  bands.bandRows = BandRowsFor(image._WholeWidth);
  bands.threads = ReductionThreads();
  RunRowBands(
      bands,
      [&](int32_t, int32_t first, int32_t end) {
        convertRows(image.pixels + static_cast<size_t>(first) * static_cast<size_t>(image.rowStride), end - first);
      },
      [](int32_t) { return true; });
}

constexpr cmsUInt32Number kIntentFlags = cmsFLAGS_BLACKPOINTCOMPENSATION;

// RGB pixels with their alpha (kept as it is), converted in place by one transform shared by the bands:
// cmsDoTransform keeps its one-pixel cache on the stack, and each pixel is read before it is written.
bool ConvertRgb(WholeImageRecord& image, cmsHPROFILE source) {
  const ProfileOwner srgb(cmsCreate_sRGBProfile());
  if (srgb == nullptr) return false;
  const cmsUInt32Number format =
      COLORSPACE_SH(PT_RGB) | CHANNELS_SH(3) | BYTES_SH(1) | EXTRA_SH(image._WholePlanesIn - 3);
  const TransformOwner transform(cmsCreateTransform(source, format, srgb.get(), format, INTENT_RELATIVE_COLORIMETRIC,
                                                    kIntentFlags | cmsFLAGS_COPY_ALPHA));
  if (transform == nullptr) return false;
  const cmsUInt32Number stride = static_cast<cmsUInt32Number>(image.rowStride);
  const cmsUInt32Number width = static_cast<cmsUInt32Number>(image._WholeWidth);
  ConvertInBands(image, [&](uint8_t* rows, int32_t count) {
    cmsDoTransformLineStride(transform.get(), rows, rows, width, static_cast<cmsUInt32Number>(count), stride, stride, 0,
                             0);
  });
  return true;
}

// Gray has 256 levels: each is converted once, unoptimised (Little CMS's 8-bit curve joining loses the darkest
// levels of a linear profile by half), and the pixels are looked up.
bool ConvertGray(WholeImageRecord& image, cmsHPROFILE source) {
  const ProfileOwner srgbGray = SrgbGrayProfile();
  if (srgbGray == nullptr) return false;
  const TransformOwner transform(cmsCreateTransform(source, TYPE_GRAY_8, srgbGray.get(), TYPE_GRAY_8,
                                                    INTENT_RELATIVE_COLORIMETRIC, kIntentFlags | cmsFLAGS_NOOPTIMIZE));
  if (transform == nullptr) return false;
  uint8_t levels[256];
  for (int level = 0; level < 256; ++level) levels[level] = static_cast<uint8_t>(level);
  uint8_t converted[256];
  cmsDoTransform(transform.get(), levels, converted, 256);
  const int32_t planes = image._WholePlanesIn;
  const int32_t width = image._WholeWidth;
  ConvertInBands(image, [&](uint8_t* rows, int32_t count) {
    for (int32_t y = 0; y < count; ++y, rows += image.rowStride)
      for (int32_t x = 0; x < width; ++x) rows[x * planes] = converted[rows[x * planes]];
  });
  return true;
}

}  // namespace

bool ConvertToSrgb(WholeImageRecord& image, const std::vector<uint8_t>& profile) {
  const bool rgb = image._WholeMode == kWholeRgb;
  const bool gray = image._WholeMode == kWholeGray;
  const int32_t colors = rgb ? 3 : 1;
  const int32_t planes = image._WholePlanesIn;
  if (!rgb && !gray) return false;
  if (planes < colors || planes > colors + 1) return false;
  if (profile.empty() || profile.size() > std::numeric_limits<cmsUInt32Number>::max()) return false;
  const int32_t width = image._WholeWidth;
  const int32_t height = image._WholeHeight;
  if (width < 0 || height < 0 || image.rowStride < width * planes) return false;
  if (width > 0 && height > 0 && image.pixels == nullptr) return false;

  const ProfileOwner source(cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())));
  if (source == nullptr) return false;
  if (cmsGetColorSpace(source.get()) != (rgb ? cmsSigRgbData : cmsSigGrayData)) return false;
  return rgb ? ConvertRgb(image, source.get()) : ConvertGray(image, source.get());
}
