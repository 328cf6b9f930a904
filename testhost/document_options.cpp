#include "testhost/document_options.h"

#include <optional>

#include "testhost/file_contents.h"

const char kSrgbProfilePath[] = "/usr/share/color/icc/colord/sRGB.icc";

namespace {

std::vector<uint8_t> BytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// The profile the save embeds; false with *error set when the --icc file cannot be read.
bool ChooseProfile(const VexhostArguments& arguments, const std::string& srgbProfilePath, HostImage* image,
                   std::string* error, std::string* notice) {
  if (!arguments.embedProfile) {
    image->iccProfile.clear();
    return true;
  }
  if (!arguments.iccPath.empty()) {
    const std::optional<std::string> profile = ReadFileContents(arguments.iccPath);
    if (!profile || profile->empty()) {
      *error = "cannot read a profile from " + arguments.iccPath;
      return false;
    }
    image->iccProfile = BytesOf(*profile);
    return true;
  }
  if (!image->iccProfile.empty()) return true;
  if (!image->declaresSrgb) {
    *notice = "the input has no colour profile, so the save gets none";
    return true;
  }
  const std::optional<std::string> srgb = ReadFileContents(srgbProfilePath);
  if (!srgb || srgb->empty()) {
    *notice = "no sRGB profile at " + srgbProfilePath + ", so the save gets none";
    return true;
  }
  image->iccProfile = BytesOf(*srgb);
  return true;
}

}  // namespace

bool ApplyDocumentOptions(const VexhostArguments& arguments, const std::string& srgbProfilePath, HostImage* image,
                          std::string* error, std::string* notice) {
  notice->clear();
  if (arguments.resolution > 0) {
    image->horizontalResolution = arguments.resolution << 16;
    image->verticalResolution = arguments.resolution << 16;
  }
  if (!arguments.xmpPath.empty()) {
    const std::optional<std::string> xmp = ReadFileContents(arguments.xmpPath);
    if (!xmp) {
      *error = "cannot read " + arguments.xmpPath;
      return false;
    }
    image->xmp = *xmp;
  }
  return ChooseProfile(arguments, srgbProfilePath, image, error, notice);
}
