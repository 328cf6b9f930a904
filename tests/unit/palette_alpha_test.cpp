// How a Palette file states its entries' transparency, which the writer, the preview and the palette view share.
#include "records/palette_alpha.h"

#include <gtest/gtest.h>

#include "records/whole_image.h"

namespace {

PaletteRecord OpaquePalette(int32_t count) {
  PaletteRecord palette;
  palette.count = count;
  for (PaletteEntry& entry : palette.entries) entry = PaletteEntry{1, 2, 3, 255, 0};
  return palette;
}

TEST(PaletteAlphaFor, RgbKeepsEntryAlphasWithAlphaChannelAndKeysWithKeyColourOnlyOverAnAlphaPlane) {
  const PaletteRecord palette = OpaquePalette(16);
  for (const int32_t planes : {4, 5}) {
    EXPECT_EQ(PaletteAlphaFor(kWholeRgb, planes, true, true, palette), PaletteAlpha::kEntryAlpha) << planes;
    EXPECT_EQ(PaletteAlphaFor(kWholeRgb, planes, true, false, palette), PaletteAlpha::kEntryAlpha) << planes;
    EXPECT_EQ(PaletteAlphaFor(kWholeRgb, planes, false, true, palette), PaletteAlpha::kKeyed) << planes;
    EXPECT_EQ(PaletteAlphaFor(kWholeRgb, planes, false, false, palette), PaletteAlpha::kOpaque) << planes;
  }
  EXPECT_EQ(PaletteAlphaFor(kWholeRgb, 3, true, true, palette), PaletteAlpha::kOpaque);
  EXPECT_EQ(PaletteAlphaFor(kWholeRgb, 3, false, true, palette), PaletteAlpha::kOpaque);
}

TEST(PaletteAlphaFor, GrayKeepsTheRampsAlphasWithEitherOptionOverAnAlphaPlane) {
  const PaletteRecord palette = OpaquePalette(256);
  EXPECT_EQ(PaletteAlphaFor(kWholeGray, 2, true, false, palette), PaletteAlpha::kEntryAlpha);
  EXPECT_EQ(PaletteAlphaFor(kWholeGray, 2, false, true, palette), PaletteAlpha::kEntryAlpha);
  EXPECT_EQ(PaletteAlphaFor(kWholeGray, 2, false, false, palette), PaletteAlpha::kOpaque);
  EXPECT_EQ(PaletteAlphaFor(kWholeGray, 1, true, true, palette), PaletteAlpha::kOpaque);
}

TEST(PaletteAlphaFor, AnIndexedImagesTransparentIndexInUseIsKeyedWhateverTheOptions) {
  PaletteRecord palette = OpaquePalette(200);
  EXPECT_EQ(PaletteAlphaFor(kWholeIndexed, 1, true, true, palette), PaletteAlpha::kOpaque);
  palette.entries[199].alpha = 0;
  for (const bool alphaChannel : {false, true}) {
    for (const bool useKeyColor : {false, true}) {
      EXPECT_EQ(PaletteAlphaFor(kWholeIndexed, 1, alphaChannel, useKeyColor, palette), PaletteAlpha::kKeyed);
    }
  }
  // Past the entries in use it is no part of the file.
  palette.count = 199;
  EXPECT_EQ(PaletteAlphaFor(kWholeIndexed, 1, false, true, palette), PaletteAlpha::kOpaque);
  // With an alpha plane and an option that keeps it, the entries' own alphas, as for gray.
  EXPECT_EQ(PaletteAlphaFor(kWholeIndexed, 2, true, false, palette), PaletteAlpha::kEntryAlpha);
}

TEST(SavedAlpha, KeyedFilesKnowOnlyClearAndOpaque) {
  for (const int alpha : {0, 1, 126, 127, 213, 255}) {
    const PaletteEntry entry{9, 9, 9, static_cast<uint8_t>(alpha), 0};
    EXPECT_EQ(SavedAlpha(entry, PaletteAlpha::kEntryAlpha), alpha);
    EXPECT_EQ(SavedAlpha(entry, PaletteAlpha::kKeyed), alpha == 0 ? 0 : 255);
    EXPECT_EQ(SavedAlpha(entry, PaletteAlpha::kOpaque), 255);
  }
}

}  // namespace
