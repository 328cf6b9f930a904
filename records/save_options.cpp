#include "records/save_options.h"

#include <cstring>

namespace {

constexpr int32_t kFewestPaletteColors = 2;
constexpr int32_t kMostPaletteColors = 256;

// The settings-file key is the code's bytes, lowest first.
constexpr bool KeyMatchesCode(const SaveOptionField& field) {
  for (int i = 0; i < 4; ++i) {
    if (static_cast<unsigned char>(field.settingsKey[i]) != ((field.code >> (8 * i)) & 0xFF)) return false;
  }
  return field.settingsKey[4] == '\0';
}

}  // namespace

SaveOptionsRecord SaveOptions;

constexpr SaveOptionField kSaveOptionFields[19] = {
    {FourCharCode("Left"), "tfeL", "\t\t\t\t;Left of window", offsetof(SaveOptionsRecord, windowLeft),
     OptionWidth::kInt32},
    {FourCharCode("TopW"), "WpoT", "\t\t\t\t;Top of window", offsetof(SaveOptionsRecord, windowTop),
     OptionWidth::kInt32},
    {FourCharCode("Wdth"), "htdW", "\t\t\t\t;Width of window", offsetof(SaveOptionsRecord, windowWidth),
     OptionWidth::kInt32},
    {FourCharCode("Hght"), "thgH", "\t\t\t\t;Height of window", offsetof(SaveOptionsRecord, windowHeight),
     OptionWidth::kInt32},
    {FourCharCode("Type"), "epyT", "\t\t\t\t;Type of PNG", offsetof(SaveOptionsRecord, pngType),
     OptionWidth::kSignedByte},
    {FourCharCode("NPal"), "laPN", "\t\t\t\t;Colors in Palette", offsetof(SaveOptionsRecord, paletteColors),
     OptionWidth::kInt32},
    {FourCharCode("UAlC"), "ClAU", "\t\t\t\t;Alpha Channel", offsetof(SaveOptionsRecord, alphaChannel),
     OptionWidth::kSignedByte},
    {FourCharCode("UCCl"), "lCCU", "\t\t\t\t;Use Key Color", offsetof(SaveOptionsRecord, useKeyColor),
     OptionWidth::kSignedByte},
    {FourCharCode("UCDf"), "fDCU", "\t\t\t\t;Use Key Color Dithering", offsetof(SaveOptionsRecord, keyColorDither),
     OptionWidth::kUnsignedByte},
    {FourCharCode("FlCl"), "lClF", "\t\t\t\t;Fill Color", offsetof(SaveOptionsRecord, fillColor), OptionWidth::kInt32},
    {FourCharCode("Dthr"), "rhtD", "\t\t\t\t;Dithering", offsetof(SaveOptionsRecord, dither),
     OptionWidth::kUnsignedByte},
    {FourCharCode("Rfne"), "enfR", "\t\t\t\t;Refine Palette", offsetof(SaveOptionsRecord, refinePalette),
     OptionWidth::kUnsignedByte},
    {FourCharCode("Cmpr"), "rpmC", "\t\t\t\t;Compression", offsetof(SaveOptionsRecord, compression),
     OptionWidth::kUnsignedByte},
    {FourCharCode("Qlty"), "ytlQ", "\t\t\t\t;Palette Quality", offsetof(SaveOptionsRecord, paletteQuality),
     OptionWidth::kInt32},
    {FourCharCode("Meta"), "ateM", "\t\t\t\t;Metadata", offsetof(SaveOptionsRecord, metadata),
     OptionWidth::kUnsignedByte},
    {FourCharCode("CsRG"), "GRsC", "\t\t\t\t;Convert to sRGB", offsetof(SaveOptionsRecord, convertToSrgb),
     OptionWidth::kUnsignedByte},
    {FourCharCode("Bt16"), "61tB", "\t\t\t\t;16 Bits/Channel", offsetof(SaveOptionsRecord, sixteenBits),
     OptionWidth::kUnsignedByte},
    {FourCharCode("Zoom"), "mooZ", "\t\t\t\t;Preview Zoom", offsetof(SaveOptionsRecord, previewZoom),
     OptionWidth::kInt32, false},
    {FourCharCode("View"), "weiV", "\t\t\t\t;Preview View", offsetof(SaveOptionsRecord, previewView),
     OptionWidth::kUnsignedByte, false},
};

constexpr bool EveryKeyMatchesItsCode() {
  for (const SaveOptionField& field : kSaveOptionFields) {
    if (!KeyMatchesCode(field)) return false;
  }
  return true;
}
static_assert(EveryKeyMatchesItsCode(), "a settings-file key is its code's bytes, lowest first");

constexpr size_t CountScripted() {
  size_t count = 0;
  for (const SaveOptionField& field : kSaveOptionFields) count += field.scripted ? 1 : 0;
  return count;
}
static_assert(CountScripted() == kScriptedSaveOptionCount, "the scripted fields are counted where they are used");

const SaveOptionField* FindSaveOptionField(FourCC code, bool scripted) {
  for (const SaveOptionField& field : kSaveOptionFields) {
    if (field.code == code) return scripted && !field.scripted ? nullptr : &field;
  }
  return nullptr;
}

int32_t ReadSaveOption(const SaveOptionsRecord& options, const SaveOptionField& field) {
  const auto* at = reinterpret_cast<const unsigned char*>(&options) + field.offset;
  switch (field.width) {
    case OptionWidth::kSignedByte: return static_cast<int8_t>(*at);
    case OptionWidth::kUnsignedByte: return *at;
    case OptionWidth::kInt32: break;
  }
  int32_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void StoreSaveOption(SaveOptionsRecord& options, const SaveOptionField& field, int32_t value) {
  auto* at = reinterpret_cast<unsigned char*>(&options) + field.offset;
  if (field.width == OptionWidth::kInt32) {
    std::memcpy(at, &value, sizeof value);
  } else {
    *at = static_cast<unsigned char>(value & 0xFF);
  }
}

void ResetSaveOptions() { SaveOptions = SaveOptionsRecord{}; }

int32_t UsablePaletteColors(int32_t requested) {
  int32_t colors = kFewestPaletteColors;
  while (colors < requested && colors < kMostPaletteColors) colors *= 2;
  return colors;
}

int8_t UsablePngType(int8_t requested) {
  return requested >= kPngGrayscale && requested <= kPngRgb ? requested : int8_t{kPngRgb};
}

uint8_t UsableDither(uint8_t requested) { return requested <= kNoise ? requested : uint8_t{kDiffusion}; }

uint8_t UsableCompression(uint8_t requested) {
  return requested == kSmallestCompression ? requested : uint8_t{kStandardCompression};
}

int32_t UsablePaletteQuality(int32_t requested) {
  return requested >= kLowestPaletteQuality && requested <= kHighestPaletteQuality ? requested : 0;
}

int32_t UsablePreviewZoom(int32_t requested) {
  if (requested == kFitZoom) return requested;
  for (const int32_t step : kZoomSteps) {
    if (requested == step) return requested;
  }
  return kFullSizeZoom;
}

PreviewView UsablePreviewView(uint8_t requested) { return requested == kTwoUp ? kTwoUp : kOneUp; }

SaveOptionsRecord UsableOptions(const SaveOptionsRecord& options) {
  SaveOptionsRecord usable = options;
  usable.paletteColors = UsablePaletteColors(options.paletteColors);
  usable.pngType = UsablePngType(options.pngType);
  usable.dither = UsableDither(options.dither);
  usable.compression = UsableCompression(options.compression);
  usable.paletteQuality = UsablePaletteQuality(options.paletteQuality);
  return usable;
}
