// ReadPamImage: the netpbm P7 header, then width x height tuples of DEPTH bytes.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "host/host_abi.h"
#include "testhost/image_io.h"

namespace {

constexpr long kLargestSide = 1 << 16;
constexpr size_t kLargestImageBytes = size_t{1} << 30;

struct TupleType {
  const char* name;
  int16_t mode;
  int16_t planes;
};

constexpr TupleType kTupleTypes[] = {
    {"GRAYSCALE", kModeGrayScale, 1},
    {"GRAYSCALE_ALPHA", kModeGrayScale, 2},
    {"RGB", kModeRGB, 3},
    {"RGB_ALPHA", kModeRGB, 4},
    {"CMYK", kModeCMYK, 4},
    {"CMYK_ALPHA", kModeCMYK, 5},
};

struct PamHeader {
  long width = 0;
  long height = 0;
  long depth = 0;
  long maxValue = 0;
  std::string tupleType;
};

// One header line without its line feed; false at the end of the file.
bool ReadLine(FILE* file, std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(file)) != EOF && c != '\n') line->push_back(static_cast<char>(c));
  return c != EOF || !line->empty();
}

bool ParseNumber(std::istringstream& words, long* value) {
  std::string word;
  if (!(words >> word)) return false;
  char* end = nullptr;
  *value = std::strtol(word.c_str(), &end, 10);
  return *end == '\0' && *value > 0;
}

bool ReadHeader(FILE* file, PamHeader* header, std::string* error) {
  std::string line;
  if (!ReadLine(file, &line) || line != "P7") {
    *error = "PAM header must start with a line P7";
    return false;
  }
  while (ReadLine(file, &line)) {
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword) || keyword[0] == '#') continue;
    if (keyword == "ENDHDR") return true;
    bool good = true;
    if (keyword == "WIDTH")
      good = ParseNumber(words, &header->width);
    else if (keyword == "HEIGHT")
      good = ParseNumber(words, &header->height);
    else if (keyword == "DEPTH")
      good = ParseNumber(words, &header->depth);
    else if (keyword == "MAXVAL")
      good = ParseNumber(words, &header->maxValue);
    else if (keyword == "TUPLTYPE")
      good = static_cast<bool>(words >> header->tupleType);
    if (!good) {
      *error = "bad PAM header line: " + line;
      return false;
    }
  }
  *error = "PAM header has no ENDHDR";
  return false;
}

}  // namespace

std::optional<HostImage> ReadPamImage(FILE* file, std::string* error) {
  PamHeader header;
  if (!ReadHeader(file, &header, error)) return std::nullopt;
  if (header.maxValue != 255) {
    *error = "PAM MAXVAL must be 255";
    return std::nullopt;
  }
  if (header.width <= 0 || header.height <= 0 || header.width > kLargestSide || header.height > kLargestSide) {
    *error = "PAM WIDTH and HEIGHT must be 1 to 65536";
    return std::nullopt;
  }
  const TupleType* type = nullptr;
  for (const TupleType& candidate : kTupleTypes) {
    if (header.tupleType == candidate.name) type = &candidate;
  }
  if (type == nullptr) {
    *error = "unsupported PAM TUPLTYPE '" + header.tupleType + "'";
    return std::nullopt;
  }
  if (header.depth != type->planes) {
    *error = "PAM DEPTH does not match TUPLTYPE " + header.tupleType;
    return std::nullopt;
  }

  if (static_cast<size_t>(header.width) * static_cast<size_t>(header.height) * type->planes > kLargestImageBytes) {
    *error = "image too large for the test host";
    return std::nullopt;
  }

  HostImage image;
  image.mode = type->mode;
  image.width = static_cast<int32_t>(header.width);
  image.height = static_cast<int32_t>(header.height);
  image.planes = type->planes;
  std::vector<uint8_t> tuples(PlaneSize(image) * static_cast<size_t>(image.planes));
  if (std::fread(tuples.data(), 1, tuples.size(), file) != tuples.size()) {
    *error = "PAM pixel data is shorter than the header says";
    return std::nullopt;
  }
  SetFromInterleaved(image, tuples.data());
  return image;
}
