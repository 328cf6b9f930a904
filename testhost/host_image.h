#pragma once
// The image as the test host holds it: what a real host would keep for the open document.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t kDefaultResolution = 72 << 16;  // 72 pixels per inch, Fixed 16.16

struct HostImage {
  int16_t mode = 0;  // image mode numbers of the host interface: 1 gray, 2 indexed, 3 RGB, 4 CMYK
  int32_t width = 0;
  int32_t height = 0;
  int16_t planes = 0;
  int16_t depth = 8;  // bits per channel: 8, or 16 for gray and RGB
  // The samples of the image's depth, plane p from p * width * height, rows top to bottom; the other store
  // stays empty.
  std::vector<uint8_t> planar;     // depth 8
  std::vector<uint16_t> planar16;  // depth 16, 0 to kHostSampleMax16 (records/sample_depth.h)
  uint8_t red[256] = {};           // colour table of indexed images
  uint8_t green[256] = {};
  uint8_t blue[256] = {};
  int32_t transparentIndex = -1;  // indexed images: the fully transparent entry, or -1
  // The document's properties besides its pixels, as the host would hand them with a save.
  int32_t horizontalResolution = kDefaultResolution;  // Fixed 16.16 pixels per inch
  int32_t verticalResolution = kDefaultResolution;
  std::vector<uint8_t> iccProfile;  // the colour profile's bytes; empty for none
  bool declaresSrgb = false;        // the input says it is sRGB (a PNG sRGB chunk) without a profile of its own
  std::string xmp;                  // the XMP packet, UTF-8 text; empty for none
};

// Samples in one plane.
size_t PlaneSize(const HostImage& image);
// Bytes one sample takes: 1 at depth 8, 2 at depth 16.
int SampleBytes(const HostImage& image);
// Sample of plane `plane` at column x, row y at the image's depth: 0-255 at depth 8, 0-32768 at depth 16.
uint16_t SampleAt(const HostImage& image, int plane, int32_t x, int32_t y);
// True when the sizes are usable, the depth is 8 or 16 and that depth's store holds exactly
// planes * width * height samples while the other is empty.
bool IsComplete(const HostImage& image);
// Row y of the planar store of the image's depth (already sized) from one interleaved row of `planes`
// samples per pixel: bytes at depth 8, host samples at depth 16.
void SetRowFromInterleaved(HostImage& image, int32_t y, const uint8_t* row);
void SetRowFromInterleaved(HostImage& image, int32_t y, const uint16_t* row);
// Fills the planar store of the image's depth from samples interleaved channel by channel (planes samples
// per pixel, rows without gaps); width, height, planes and depth must already be set.
void SetFromInterleaved(HostImage& image, const uint8_t* interleaved);
void SetFromInterleaved(HostImage& image, const uint16_t* interleaved);
