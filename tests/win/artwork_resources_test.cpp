// The bitmaps inside the built plug-in: every ID at its size, at 100 %, 150 % and 200 %, and the artwork joins
// without seams where the controls piece it together (stretched button middles, header tiles, header buttons
// over the strips) at every scale.
#include <gtest/gtest.h>

#include <vector>

#include "resources/art/header_strip_cuts.h"
#include "resources/resource_ids.h"
#include "tests/win/toolkit_test_support.h"
#include "widgets/artwork_scale.h"

using toolkit_test::BitmapPixel;
using toolkit_test::CanvasOf;
using toolkit_test::DibCanvas;
using toolkit_test::Rgb;

namespace {

struct Expected {
  int id;
  int width;
  int height;
};

const Expected kBitmaps[] = {
    {IDB_LOCK_DISABLED, 16, 16},        {IDB_LOCK_NORMAL, 16, 16},           {IDB_LOCK_HOVER, 16, 16},
    {IDB_TRANSPARENT_LIGHT, 16, 16},    {IDB_TRANSPARENT_NORMAL, 16, 16},    {IDB_HEADER_RIGHT, 429, 40},
    {IDB_HEADER_LEFT, 597, 40},         {IDB_HEADER_MIDDLE, 101, 40},        {IDB_ABOUT_NORMAL, 181, 19},
    {IDB_SITE_PRESSED, 150, 20},        {IDB_SITE_HOVER, 150, 20},           {IDB_SITE_NORMAL, 150, 20},
    {IDB_ABOUT_PRESSED, 181, 19},       {IDB_ABOUT_HOVER, 181, 19},          {IDB_ADVERT_NORMAL, 35, 34},
    {IDB_ADVERT_HOVER, 35, 34},         {IDB_BUTTON_NORMAL_LEFT, 18, 24},    {IDB_BUTTON_HOVER_LEFT, 18, 24},
    {IDB_BUTTON_DEFAULT_LEFT, 18, 24},  {IDB_BUTTON_PRESSED_LEFT, 18, 24},   {IDB_BUTTON_NORMAL_MIDDLE, 18, 24},
    {IDB_BUTTON_HOVER_MIDDLE, 18, 24},  {IDB_BUTTON_DEFAULT_MIDDLE, 18, 24}, {IDB_BUTTON_PRESSED_MIDDLE, 18, 24},
    {IDB_BUTTON_NORMAL_RIGHT, 18, 24},  {IDB_BUTTON_HOVER_RIGHT, 18, 24},    {IDB_BUTTON_DEFAULT_RIGHT, 18, 24},
    {IDB_BUTTON_PRESSED_RIGHT, 18, 24}, {IDB_PRODUCT_PICTURE, 144, 216},
};

// The plug-in mapped as data, as a host scans it, and its bitmaps loaded on demand.
class PluginArtwork : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(L"" VEX_PLUGIN_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "cannot map " << VEX_PLUGIN_PATH << ", error " << GetLastError();
  }
  void TearDown() override {
    for (HBITMAP bitmap : loaded_) DeleteObject(bitmap);
    if (module_ != nullptr) FreeLibrary(module_);
  }

  HBITMAP Load(int id) {
    auto* bitmap =
        static_cast<HBITMAP>(LoadImageW(module_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap != nullptr) loaded_.push_back(bitmap);
    return bitmap;
  }

  HMODULE module_ = nullptr;
  std::vector<HBITMAP> loaded_;
};

const ArtworkScale kScales[] = {ArtworkScale::k100, ArtworkScale::k150, ArtworkScale::k200};

// Where the header places the web-site button: this far left of the strip's right edge.
int SiteFromRight(ArtworkScale scale) {
  switch (scale) {
    case ArtworkScale::k150: return kHeaderSiteFromRight150;
    case ArtworkScale::k200: return kHeaderSiteFromRight200;
    case ArtworkScale::k100: break;
  }
  return 199;
}

TEST_F(PluginArtwork, EveryBitmapIsThereAtItsSizeWith24BitsPerPixel) {
  for (const Expected& expected : kBitmaps) {
    HBITMAP bitmap = Load(expected.id);
    ASSERT_NE(bitmap, nullptr) << "bitmap " << expected.id;
    BITMAP info{};
    ASSERT_NE(GetObjectW(bitmap, sizeof info, &info), 0) << "bitmap " << expected.id;
    EXPECT_EQ(info.bmWidth, expected.width) << "bitmap " << expected.id;
    EXPECT_EQ(info.bmHeight, expected.height) << "bitmap " << expected.id;
    EXPECT_EQ(info.bmBitsPixel, 24) << "bitmap " << expected.id;
  }
}

TEST_F(PluginArtwork, EveryScaledBitmapIsThereOneAndAHalfOrTwiceTheSize) {
  for (const ArtworkScale scale : {ArtworkScale::k150, ArtworkScale::k200}) {
    for (const Expected& expected : kBitmaps) {
      const int id = ArtworkResourceId(expected.id, scale);
      HBITMAP bitmap = Load(id);
      ASSERT_NE(bitmap, nullptr) << "bitmap " << id;
      BITMAP info{};
      ASSERT_NE(GetObjectW(bitmap, sizeof info, &info), 0) << "bitmap " << id;
      EXPECT_EQ(info.bmWidth, ArtworkScaledSize(expected.width, scale)) << "bitmap " << id;
      EXPECT_EQ(info.bmHeight, ArtworkScaledSize(expected.height, scale)) << "bitmap " << id;
      EXPECT_EQ(info.bmBitsPixel, 24) << "bitmap " << id;
    }
  }
}

TEST_F(PluginArtwork, ButtonMiddlesAreTheSameInEveryColumnSoStretchingShowsNoSeam) {
  for (const ArtworkScale scale : kScales) {
    for (int id100 = IDB_BUTTON_NORMAL_MIDDLE; id100 <= IDB_BUTTON_PRESSED_MIDDLE; ++id100) {
      const int id = ArtworkResourceId(id100, scale);
      HBITMAP middleBitmap = Load(id);
      ASSERT_NE(middleBitmap, nullptr) << "bitmap " << id;
      const auto middle = CanvasOf(middleBitmap);
      const auto left = CanvasOf(Load(ArtworkResourceId(id100 - 4, scale)));
      const auto right = CanvasOf(Load(ArtworkResourceId(id100 + 4, scale)));
      for (int y = 0; y < middle->height(); ++y) {
        const Rgb first = middle->Pixel(0, y);
        for (int x = 1; x < middle->width(); ++x) {
          EXPECT_EQ(middle->Pixel(x, y), first) << id << " at " << x << "," << y;
        }
        EXPECT_EQ(left->Pixel(left->width() - 1, y), first) << "left cap of " << id << " row " << y;
        EXPECT_EQ(right->Pixel(0, y), first) << "right cap of " << id << " row " << y;
      }
    }
  }
}

TEST_F(PluginArtwork, HeaderTileJoinsBothStripsWithoutSeams) {
  for (const ArtworkScale scale : kScales) {
    const auto left = CanvasOf(Load(ArtworkResourceId(IDB_HEADER_LEFT, scale)));
    const auto middle = CanvasOf(Load(ArtworkResourceId(IDB_HEADER_MIDDLE, scale)));
    const auto right = CanvasOf(Load(ArtworkResourceId(IDB_HEADER_RIGHT, scale)));
    ASSERT_EQ(left->height(), middle->height());
    ASSERT_EQ(right->height(), middle->height());
    for (int y = 0; y < middle->height(); ++y) {
      const Rgb tile = middle->Pixel(0, y);
      const int percent = ArtworkScalePercent(scale);
      EXPECT_EQ(middle->Pixel(middle->width() - 1, y), tile) << percent << " %, row " << y;
      EXPECT_EQ(left->Pixel(left->width() - 1, y), tile) << percent << " %, row " << y;
      EXPECT_EQ(right->Pixel(0, y), tile) << percent << " %, row " << y;
    }
  }
}

TEST_F(PluginArtwork, HeaderButtonsAtRestMatchTheStripUnderThem) {
  for (const ArtworkScale scale : kScales) {
    const auto left = CanvasOf(Load(ArtworkResourceId(IDB_HEADER_LEFT, scale)));
    const auto right = CanvasOf(Load(ArtworkResourceId(IDB_HEADER_RIGHT, scale)));
    struct Placed {
      int id;
      const DibCanvas* strip;
      int x;
      int y;
    };
    // The About caption and the logo sit on the left part at their 100 % places scaled; the web-site button
    // on the right part, as far from its right edge as the header puts it.
    const int top = ArtworkScaledSize(12, scale);
    const Placed placed[] = {{IDB_ABOUT_NORMAL, left.get(), ArtworkScaledSize(87, scale), top},
                             {IDB_ADVERT_NORMAL, left.get(), ArtworkScaledSize(16, scale), ArtworkScaledSize(3, scale)},
                             {IDB_SITE_NORMAL, right.get(), right->width() - SiteFromRight(scale), top}};
    for (const Placed& button : placed) {
      const int id = ArtworkResourceId(button.id, scale);
      const int placeX = button.x;
      const int placeY = button.y;
      const auto face = CanvasOf(Load(id));
      for (int y = 0; y < face->height(); ++y) {
        for (int x = 0; x < face->width(); ++x) {
          ASSERT_EQ(face->Pixel(x, y), button.strip->Pixel(placeX + x, placeY + y))
              << "bitmap " << id << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(PluginArtwork, EachButtonLookDiffers) {
  const int groups[][3] = {{IDB_ABOUT_NORMAL, IDB_ABOUT_HOVER, IDB_ABOUT_PRESSED},
                           {IDB_SITE_NORMAL, IDB_SITE_HOVER, IDB_SITE_PRESSED},
                           {IDB_LOCK_NORMAL, IDB_LOCK_HOVER, IDB_LOCK_DISABLED}};
  for (const auto& group : groups) {
    HBITMAP a = Load(group[0]);
    HBITMAP b = Load(group[1]);
    HBITMAP c = Load(group[2]);
    EXPECT_NE(BitmapPixel(a, 4, 9), BitmapPixel(b, 4, 9)) << group[0] << " / " << group[1];
    EXPECT_NE(BitmapPixel(a, 4, 9), BitmapPixel(c, 4, 9)) << group[0] << " / " << group[2];
  }
}

}  // namespace
