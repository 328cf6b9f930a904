#pragma once
// The user's choices for the PNG and where the preview dialog stood last time: one record per process.
#include <cstdint>

enum PngType : int8_t { kPngGrayscale = 0, kPngPalette = 1, kPngRgb = 2 };
enum DitherMethod : uint8_t { kNoDither = 0, kDiffusion = 1, kPattern = 2, kNoise = 3 };

struct SaveOptionsRecord {
  int32_t windowLeft = 100;
  int32_t windowTop = 100;
  int32_t windowWidth = 800;
  int32_t windowHeight = 600;
  int8_t pngType = kPngRgb;
  int32_t paletteColors = 256;
  int8_t alphaChannel = 1;
  int8_t useKeyColor = 1;
  int32_t fillColor = 0;        // 0x00BBGGRR
  uint8_t dither = kDiffusion;
  uint8_t keyColorDither = 1;
};
extern SaveOptionsRecord SaveOptions;

void ResetSaveOptions();
