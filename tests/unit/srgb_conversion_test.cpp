// Images converted from their document's profile to sRGB: Adobe RGB and ProPhoto pixels against Little CMS's own
// transform of the same pixels, sRGB staying sRGB, a linear gray taking sRGB's tone curve, alpha kept, and
// profiles that do not fit the image refused with the pixels untouched. Profiles from Debian's colord-data.
#include "reduce/srgb_conversion.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ProfileFile(const std::string& name) {
  std::ifstream file("/usr/share/color/icc/colord/" + name, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

Bytes SavedProfile(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  Bytes bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// A gray profile whose values are linear light.
Bytes LinearGrayProfile() {
  cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
  const Bytes bytes = SavedProfile(cmsCreateGrayProfile(cmsD50_xyY(), linear));
  cmsFreeToneCurve(linear);
  return bytes;
}

// An image owning its pixels, every plane value a different mix of position; wide and tall enough for several
// bands of rows.
struct TestImage {
  Bytes pixels;
  WholeImageRecord record;

  TestImage(WholeMode mode, int32_t planes, int32_t width = 1200, int32_t height = 700)
      : pixels(static_cast<size_t>(width) * height * planes) {
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 7 + i / 4099 * 13) % 256);
    record.pixels = pixels.data();
    record.pixelBytes = pixels.size();
    record._WholeWidth = width;
    record._WholeHeight = height;
    record._WholePlanesIn = planes;
    record.rowStride = width * planes;
    record._WholeMode = mode;
  }
};

// Little CMS's own conversion of an image's colour planes (alpha dropped) to sRGB.
Bytes ReferenceRgb(const Bytes& profile, const Bytes& pixels, int32_t planes) {
  const size_t count = pixels.size() / planes;
  Bytes colors(count * 3);
  for (size_t p = 0; p < count; ++p)
    for (int c = 0; c < 3; ++c) colors[p * 3 + c] = pixels[p * planes + c];
  cmsHPROFILE source = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM transform = cmsCreateTransform(source, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC,
                                               cmsFLAGS_BLACKPOINTCOMPENSATION);
  EXPECT_NE(transform, nullptr);
  Bytes converted(colors.size());
  if (transform != nullptr) cmsDoTransform(transform, colors.data(), converted.data(), count);
  cmsDeleteTransform(transform);
  cmsCloseProfile(srgb);
  cmsCloseProfile(source);
  return converted;
}

int MostApart(const Bytes& a, const Bytes& b) {
  int most = 0;
  for (size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(a[i] - b[i]));
  return most;
}

class WideGamutToSrgb : public ::testing::TestWithParam<const char*> {};

TEST_P(WideGamutToSrgb, MatchesLittleCmsAndKeepsAlpha) {
  const Bytes profile = ProfileFile(GetParam());
  ASSERT_FALSE(profile.empty()) << "colord-data is missing";
  TestImage image(kWholeRgb, 4);
  const Bytes original = image.pixels;
  const Bytes expected = ReferenceRgb(profile, original, 4);

  ASSERT_TRUE(ConvertToSrgb(image.record, profile));

  Bytes colors, alpha, originalAlpha;
  for (size_t p = 0; p < original.size() / 4; ++p) {
    colors.insert(colors.end(), &image.pixels[p * 4], &image.pixels[p * 4 + 3]);
    alpha.push_back(image.pixels[p * 4 + 3]);
    originalAlpha.push_back(original[p * 4 + 3]);
  }
  EXPECT_LE(MostApart(colors, expected), 1);
  EXPECT_EQ(alpha, originalAlpha);
  // The comparison means something only where the profiles differ this much.
  EXPECT_GT(MostApart(ReferenceRgb(ProfileFile("sRGB.icc"), original, 4), expected), 20);
}

INSTANTIATE_TEST_SUITE_P(ColordProfiles, WideGamutToSrgb, ::testing::Values("AdobeRGB1998.icc", "ProPhotoRGB.icc"));

TEST(SrgbConversion, SrgbStaysWithinOneLevel) {
  const Bytes profile = ProfileFile("sRGB.icc");
  ASSERT_FALSE(profile.empty()) << "colord-data is missing";
  TestImage image(kWholeRgb, 3);
  const Bytes original = image.pixels;
  ASSERT_TRUE(ConvertToSrgb(image.record, profile));
  EXPECT_LE(MostApart(image.pixels, original), 1);
}

TEST(SrgbConversion, LinearGrayTakesSrgbToneCurveAndKeepsAlpha) {
  TestImage image(kWholeGray, 2, 256, 300);
  const Bytes original = image.pixels;
  ASSERT_TRUE(ConvertToSrgb(image.record, LinearGrayProfile()));
  int mostApart = 0;
  for (size_t p = 0; p < original.size() / 2; ++p) {
    const double linear = original[p * 2] / 255.0;
    const double encoded = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    mostApart = std::max(mostApart, std::abs(image.pixels[p * 2] - static_cast<int>(std::lround(encoded * 255))));
    ASSERT_EQ(image.pixels[p * 2 + 1], original[p * 2 + 1]) << "alpha of pixel " << p;
  }
  EXPECT_LE(mostApart, 1);
}

// A 16-bit document's samples are converted at 16 bits: Adobe RGB pixels against Little CMS's own 16-bit transform,
// alpha kept; a linear gray takes sRGB's tone curve with 16-bit precision.
TEST(SrgbConversion, SixteenBitSamplesAreConvertedAtSixteenBits) {
  const Bytes adobe = ProfileFile("AdobeRGB1998.icc");
  ASSERT_FALSE(adobe.empty()) << "colord-data is missing";
  constexpr int32_t kWidth = 600;
  constexpr int32_t kHeight = 300;
  std::vector<uint16_t> samples(static_cast<size_t>(kWidth) * kHeight * 4);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint16_t>((i * 7919 + i / 4099 * 13) % 65536);
  const std::vector<uint16_t> original = samples;
  WholeImage16Record image{samples.data(), samples.size() * 2, kWidth, kHeight, 4, kWholeRgb};
  ASSERT_TRUE(ConvertToSrgb(image, adobe));

  cmsHPROFILE source = cmsOpenProfileFromMem(adobe.data(), static_cast<cmsUInt32Number>(adobe.size()));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM transform = cmsCreateTransform(source, TYPE_RGBA_16, srgb, TYPE_RGBA_16, INTENT_RELATIVE_COLORIMETRIC,
                                               cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA);
  ASSERT_NE(transform, nullptr);
  std::vector<uint16_t> expected(original.size());
  cmsDoTransform(transform, original.data(), expected.data(), kWidth * kHeight);
  cmsDeleteTransform(transform);
  cmsCloseProfile(srgb);
  cmsCloseProfile(source);
  EXPECT_EQ(samples, expected);
  int mostMoved = 0;
  for (size_t i = 0; i < samples.size(); ++i) mostMoved = std::max(mostMoved, std::abs(samples[i] - original[i]));
  EXPECT_GT(mostMoved, 20 * 257);  // converted, not left

  std::vector<uint16_t> gray(65536 * 2);
  for (size_t level = 0; level < 65536; ++level) {
    gray[level * 2] = static_cast<uint16_t>(level);
    gray[level * 2 + 1] = static_cast<uint16_t>(65535 - level);
  }
  WholeImage16Record grayImage{gray.data(), gray.size() * 2, 256, 256, 2, kWholeGray};
  ASSERT_TRUE(ConvertToSrgb(grayImage, LinearGrayProfile()));
  int mostApart = 0;
  for (size_t level = 0; level < 65536; ++level) {
    const double linear = level / 65535.0;
    const double encoded = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    mostApart = std::max(mostApart, std::abs(gray[level * 2] - static_cast<int>(std::lround(encoded * 65535))));
    ASSERT_EQ(gray[level * 2 + 1], 65535 - level) << "alpha of level " << level;
  }
  EXPECT_LE(mostApart, 16);  // within a 4096th of the range: far finer than 8 bits could hold
}

TEST(SrgbConversion, ProfilesThatDoNotFitLeaveThePixels) {
  const Bytes adobe = ProfileFile("AdobeRGB1998.icc");
  ASSERT_FALSE(adobe.empty()) << "colord-data is missing";
  Bytes garbage(600);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 31 + 5);

  TestImage rgb(kWholeRgb, 4, 40, 30);
  const Bytes rgbOriginal = rgb.pixels;
  EXPECT_FALSE(ConvertToSrgb(rgb.record, LinearGrayProfile()));
  EXPECT_FALSE(ConvertToSrgb(rgb.record, garbage));
  EXPECT_FALSE(ConvertToSrgb(rgb.record, Bytes()));
  EXPECT_EQ(rgb.pixels, rgbOriginal);

  TestImage gray(kWholeGray, 1, 40, 30);
  const Bytes grayOriginal = gray.pixels;
  EXPECT_FALSE(ConvertToSrgb(gray.record, adobe));
  EXPECT_EQ(gray.pixels, grayOriginal);

  // An indexed image's pixels are indices into its colour table.
  TestImage indexed(kWholeIndexed, 1, 40, 30);
  const Bytes indexedOriginal = indexed.pixels;
  EXPECT_FALSE(ConvertToSrgb(indexed.record, adobe));
  EXPECT_EQ(indexed.pixels, indexedOriginal);
}

}  // namespace
