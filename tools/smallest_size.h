#pragma once
// The Smallest file's size beside the Standard file's and beside optipng's and zopflipng's work on the Standard
// file: for each image, an RGB save and a Palette save at 64 colours, each file's bytes and times, and the
// Smallest file's pixels checked against the Standard file's; then the totals over every image.
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct SizeImage {
  std::string path;
  std::string label;  // printed in the image's heading; the file's name when none was given
};

struct SizeRequest {
  std::vector<SizeImage> images;
  int runs = 3;
  std::string optipng;    // empty: not compared
  std::string zopflipng;  // empty: not compared
};

// The request in arguments after the subcommand's name:
//   [--runs N] [--optipng PATH] [--zopflipng PATH] [--label TEXT] IMAGE [[--label TEXT] IMAGE]...
// each --label names the image after it. Nothing when an argument is not understood or no image is given.
std::optional<SizeRequest> ParseSizeRequest(const std::vector<std::string>& args);

// Prints a table per image and the totals with their ratio lines; writes its files into the working folder.
// 1 when an image cannot be read, a file cannot be written or a Smallest file does not show the Standard file's
// picture; never for a figure.
int RunSize(const SizeRequest& request);

}  // namespace bench
