// Colours weighted by alpha: the premultiplied form and its inverse, and refined palettes of images with soft
// transparency, built and matched premultiplied, against the same images refined and matched straight.
#include "reduce/alpha_weight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/reduce_filter.h"

namespace {

TEST(Premultiply, LeavesOpaqueLevelsAsTheyAreAndUnpremultiplyFindsEveryLevelBack) {
  for (int32_t value = 0; value < 256; ++value) {
    EXPECT_EQ(Premultiply(value, 255), value);
    EXPECT_EQ(Unpremultiply(value, 255), value);
  }
  for (int32_t alpha = 1; alpha < 256; ++alpha) {
    for (int32_t premultiplied = 0; premultiplied <= alpha; ++premultiplied) {
      const int32_t straight = Unpremultiply(premultiplied, alpha);
      ASSERT_EQ(Premultiply(straight, alpha), premultiplied) << alpha << " " << premultiplied;
      // The least such level: one below premultiplies to less.
      if (straight > 0) {
        ASSERT_LT(Premultiply(straight - 1, alpha), premultiplied) << alpha << " " << premultiplied;
      }
    }
  }
  EXPECT_EQ(Unpremultiply(0, 0), 0);
}

struct RgbaImage {
  int32_t width;
  int32_t height;
  std::vector<uint8_t> pixels;
  int32_t MinAlpha() const {
    int32_t lowest = 255;
    for (size_t i = 3; i < pixels.size(); i += 4) lowest = std::min<int32_t>(lowest, pixels[i]);
    return lowest == 255 ? 256 : lowest;
  }
};

// An icon: a disc of colour gradients with a soft edge over a soft, offset drop shadow, the rest clear.
RgbaImage IconImage(uint32_t seed, int32_t side) {
  std::mt19937 random(seed);
  RgbaImage image{side, side, {}};
  const double centre = side * 0.45, radius = side * 0.33;
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const double disc = std::hypot(x - centre, y - centre);
      const double shadow = std::hypot(x - centre - side * 0.08, y - centre - side * 0.1);
      const double cover = std::clamp((radius - disc) / 3.0 + 0.5, 0.0, 1.0);
      const double shade = 0.45 * std::clamp((radius + side * 0.08 - shadow) / (side * 0.12), 0.0, 1.0);
      // The disc over its shadow.
      const double alpha = cover + shade * (1 - cover);
      const int noise = static_cast<int>(random() % 5) - 2;
      const double colour[3] = {40.0 + 200.0 * x / side + noise, 220.0 - 180.0 * y / side, 90.0 + 120.0 * cover};
      for (double c : colour) {
        const double over = alpha > 0 ? c * cover / alpha : 0;  // the shadow is black
        image.pixels.push_back(static_cast<uint8_t>(std::clamp(over, 0.0, 255.0)));
      }
      image.pixels.push_back(static_cast<uint8_t>(std::lround(alpha * 255)));
    }
  }
  return image;
}

// A photo-like cut-out: noisy gradients fading out towards the borders.
RgbaImage VignetteImage(uint32_t seed, int32_t width, int32_t height) {
  std::mt19937 random(seed);
  RgbaImage image{width, height, {}};
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const double dx = (x - width / 2.0) / (width / 2.0), dy = (y - height / 2.0) / (height / 2.0);
      const double alpha = std::clamp(1.4 - 1.3 * (dx * dx + dy * dy), 0.0, 1.0);
      const int noise = static_cast<int>(random() % 9) - 4;
      const int values[3] = {x * 255 / width + noise, 30 + y * 200 / height, 200 - (x + y) * 150 / (width + height)};
      for (int v : values) image.pixels.push_back(static_cast<uint8_t>(std::clamp(v, 0, 255)));
      image.pixels.push_back(static_cast<uint8_t>(std::lround(alpha * 255)));
    }
  }
  return image;
}

// The pixels a Palette file of the image shows: each index's palette entry.
std::vector<uint8_t> SavedPixels(const RgbaImage& image, int32_t minAlpha, int32_t colors, uint8_t dither) {
  WholeImageRecord record{const_cast<uint8_t*>(image.pixels.data()),
                          image.pixels.size(),
                          image.width,
                          image.height,
                          4,
                          image.width * 4,
                          3,
                          minAlpha};
  SaveOptionsRecord options;
  options.pngType = kPngPalette;
  options.paletteColors = colors;
  options.dither = dither;
  options.refinePalette = 1;
  PaletteRecord palette;
  ColorMapTable colorMap;
  ReducedImageRecord reduced;
  const ReductionRecords records{record, options, palette, colorMap, reduced};
  EXPECT_EQ(ReduceImage(records, {}, nullptr), ReduceStatus::Ok);
  std::vector<uint8_t> shown;
  for (int32_t i = 0; i < image.width * image.height; ++i) {
    const PaletteEntry& entry = palette.entries[reduced.pixels[i]];
    shown.insert(shown.end(), {entry.red, entry.green, entry.blue, entry.alpha});
  }
  FreeReducedImagePixels(reduced);
  return shown;
}

// Σ over pixels of the squared differences of premultiplied red, green and blue and of alpha.
double PremultipliedError(const RgbaImage& image, const std::vector<uint8_t>& shown) {
  double error = 0;
  for (size_t i = 0; i < image.pixels.size(); i += 4) {
    const double a = image.pixels[i + 3], b = shown[i + 3];
    for (size_t c = 0; c < 3; ++c) {
      const double d = (image.pixels[i + c] * a - shown[i + c] * b) / 255.0;
      error += d * d;
    }
    error += (a - b) * (a - b);
  }
  return error;
}

TEST(AlphaWeightedPalette, IsNeverFurtherFromSoftTransparencyThanTheStraightOne) {
  const RgbaImage images[] = {IconImage(3, 64), IconImage(5, 48), VignetteImage(7, 80, 60)};
  for (const RgbaImage& image : images) {
    ASSERT_LT(image.MinAlpha(), 255);
    for (int32_t colors : {8, 16, 64}) {
      // An image whose lowest alpha was never measured is refined and matched straight.
      const double straight = PremultipliedError(image, SavedPixels(image, 500, colors, kNoDither));
      const double weighted = PremultipliedError(image, SavedPixels(image, image.MinAlpha(), colors, kNoDither));
      EXPECT_LE(weighted, straight) << image.width << " x " << image.height << ", " << colors << " colours";
    }
  }
}

// Straight Diffusion spreads the colour errors of nearly clear pixels, which nobody sees, over the shadow and the
// edge; carried premultiplied they count as little as they show.
TEST(AlphaWeightedPalette, DiffusionComesFarCloserToASoftShadow) {
  const RgbaImage image = IconImage(3, 64);
  for (int32_t colors : {16, 64}) {
    const double straight = PremultipliedError(image, SavedPixels(image, 500, colors, kDiffusion));
    const double weighted = PremultipliedError(image, SavedPixels(image, image.MinAlpha(), colors, kDiffusion));
    EXPECT_LT(weighted * 1.5, straight) << colors << " colours";
  }
}

TEST(AlphaWeightedPalette, AnOpaqueImageGivesTheStraightFile) {
  RgbaImage image = VignetteImage(9, 70, 50);
  for (size_t i = 3; i < image.pixels.size(); i += 4) image.pixels[i] = 255;
  for (uint8_t dither : {kNoDither, kDiffusion}) {
    EXPECT_EQ(SavedPixels(image, image.MinAlpha(), 32, dither), SavedPixels(image, 500, 32, dither));
  }
}

}  // namespace
