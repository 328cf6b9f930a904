#pragma once
// The user's choices for the PNG and where the preview dialog stood last time: one record per process, and
// the one table of its fields that the settings file and the scripting parameters both read.
#include <cstddef>
#include <cstdint>

#include "records/four_char_code.h"

enum PngType : int8_t { kPngGrayscale = 0, kPngPalette = 1, kPngRgb = 2 };
enum DitherMethod : uint8_t { kNoDither = 0, kDiffusion = 1, kPattern = 2, kNoise = 3 };
enum Compression : uint8_t { kStandardCompression = 0, kSmallestCompression = 1 };
constexpr int32_t kLowestPaletteQuality = 1;
constexpr int32_t kHighestPaletteQuality = 100;
// The preview's zooms in tenths of a percent; Fit shows the whole image in the pane, never above 100 %.
inline constexpr int32_t kFitZoom = 0;
inline constexpr int32_t kZoomSteps[] = {125, 250, 500, 667, 1000, 2000, 4000, 8000};
inline constexpr int32_t kFullSizeZoom = 1000;
enum PreviewView : uint8_t { kOneUp = 1, kTwoUp = 2 };

struct SaveOptionsRecord {
  int32_t windowLeft = 100;
  int32_t windowTop = 100;
  int32_t windowWidth = 800;
  int32_t windowHeight = 600;
  int8_t pngType = kPngRgb;
  int32_t paletteColors = 256;
  int8_t alphaChannel = 1;
  int8_t useKeyColor = 1;
  int32_t fillColor = 0;  // 0x00BBGGRR
  uint8_t dither = kDiffusion;
  uint8_t keyColorDither = 1;
  uint8_t refinePalette = 0;  // refine the median cut's colours by k-means; off keeps every file as before
  uint8_t compression = kStandardCompression;  // Smallest: the same picture in fewer bytes, written more slowly
  // 1..100: an RGB image's palette takes the fewest colours that reach 30 + 0.2 x quality dB of PSNR; 0 off.
  // A whole int, so that a value out of range stays out of range (and off) instead of wrapping into it.
  int32_t paletteQuality = 0;
  // The document's resolution (pHYs) and XMP (iTXt) in the file; off writes neither.
  uint8_t metadata = 0;
  // The image converted from the document's profile to sRGB before anything else, and the file says sRGB.
  uint8_t convertToSrgb = 0;
  // A 16-bit document saved as Grayscale or RGB keeps 16 bits per channel; off, the file is the 8-bit image's.
  uint8_t sixteenBits = 0;
  // How the dialog last showed the preview: the zoom in tenths of a percent (0 Fit), one pane or two. Kept in the
  // settings file only: how a dialog looked is no part of a recorded save.
  int32_t previewZoom = kFullSizeZoom;
  uint8_t previewView = kOneUp;
};
extern SaveOptionsRecord SaveOptions;

void ResetSaveOptions();

// How a field is stored: a whole int, or a byte that keeps the low byte of what it is given and is read back
// widened with its sign (signed) or without (unsigned).
enum class OptionWidth : uint8_t { kInt32, kSignedByte, kUnsignedByte };

// One field of the record under its four-character code. The settings file keys a line by the code's bytes
// in little-endian order (so "Left" reads "tfeL") and follows the value with the comment.
struct SaveOptionField {
  FourCC code;
  const char* settingsKey;
  const char* comment;
  size_t offset;  // of the field in SaveOptionsRecord
  OptionWidth width;
  bool scripted = true;  // a scripting parameter too, not only a settings line
};

// The fields in the order the settings file lists them: the eleven of the first version, then the ones added
// since, which readers of that version skip.
extern const SaveOptionField kSaveOptionFields[19];
// How many of them are scripting parameters.
inline constexpr size_t kScriptedSaveOptionCount = 17;
// The field of a code, or null for a code that is not ours (nor, with `scripted`, a scripting parameter).
const SaveOptionField* FindSaveOptionField(FourCC code, bool scripted = false);
// The field's value widened to 32 bits, and the value stored as the field's width keeps it.
int32_t ReadSaveOption(const SaveOptionsRecord& options, const SaveOptionField& field);
void StoreSaveOption(SaveOptionsRecord& options, const SaveOptionField& field, int32_t value);

// The settings file and the scripting parameters store values unchecked; these bring them into the range the
// reduction, the writer and the dialog expect, at the point of use.
// Rounded up to the next power of two and clamped to 2..256, which is also what the colour list shows for it.
int32_t UsablePaletteColors(int32_t requested);
// Outside Grayscale..RGB: replaced by the default, RGB.
int8_t UsablePngType(int8_t requested);
// Above Noise: replaced by the default, Diffusion.
uint8_t UsableDither(uint8_t requested);
// Smallest only when asked for by name: any other value is Standard, the writer as it always was.
uint8_t UsableCompression(uint8_t requested);
// 1..100 as it is; any other value is 0, the Colors list's own count.
int32_t UsablePaletteQuality(int32_t requested);
// Fit or one of the zoom steps; anything else is 100 %.
int32_t UsablePreviewZoom(int32_t requested);
// 2 is 2-Up; anything else is one pane.
PreviewView UsablePreviewView(uint8_t requested);
// options with those five fields made usable; the window rectangle, the fill colour and the flags (any
// non-zero value is on) pass through unchanged.
SaveOptionsRecord UsableOptions(const SaveOptionsRecord& options);
