#pragma once
// The Palette type's quality beside pngquant's: for one image, at each colour count and dither asked for, the
// median cut's palette, the refined palette and pngquant's, each file decoded again and compared with the source.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct QualityRequest {
  std::string input;
  std::vector<int32_t> colorCounts;  // each 2..256
  std::vector<uint8_t> dithers;      // kNoDither or kDiffusion
  std::vector<int32_t> qualities;    // Palette Quality rows, each 1..100
  int runs = 3;
  std::string pngquant;  // empty: compared with nothing
};

// The request in arguments after the subcommand's name:
//   IN.png [--colors N]... [--dither none|diffusion]... [--quality Q]... [--runs R] [--pngquant PATH]
// without --colors: 256, 64 and 16; without --dither: both; without --quality: 50, 75 and 90. Nothing when an argument
// is not understood.
std::optional<QualityRequest> ParseQualityRequest(const std::vector<std::string>& args);

// Prints a row per method (PSNR, bytes, processor and wall time, best of the runs), then a ratio line per
// target, then a row per quality; writes its files into the working folder. 1 when the image cannot be read or a file
// not written.
int RunQuality(const QualityRequest& request);

}  // namespace bench
