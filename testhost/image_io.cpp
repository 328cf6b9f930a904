#include "testhost/image_io.h"

#include <cstring>
#include <vector>

#include "testhost/host_files.h"

namespace {

// Owns the input file for the length of one read.
class InputFile {
 public:
  explicit InputFile(const std::string& path) : buffer_(1 << 20), file_(OpenFileByUtf8Path(path, "rb")) {
    // Large reads: a large image would otherwise cost thousands of calls into the system.
    if (file_ != nullptr) std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  }
  ~InputFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  FILE* get() const { return file_; }

 private:
  std::vector<char> buffer_;  // outlives the file, which is closed first
  FILE* file_;
};

}  // namespace

std::optional<HostImage> ReadImageFile(const std::string& utf8Path, std::string* error) {
  InputFile input(utf8Path);
  if (input.get() == nullptr) {
    *error = "cannot open " + utf8Path;
    return std::nullopt;
  }
  unsigned char signature[8] = {};
  const size_t got = std::fread(signature, 1, sizeof signature, input.get());
  std::rewind(input.get());
  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::optional<HostImage> image;
  if (got == sizeof signature && std::memcmp(signature, kPngSignature, sizeof signature) == 0) {
    image = ReadPngImage(input.get(), error);
  } else if (got >= 3 && signature[0] == 'P' && signature[1] == '7' && (signature[2] == '\n' || signature[2] == ' ')) {
    image = ReadPamImage(input.get(), error);
  } else {
    *error = "not a PNG or PAM (P7) file";
  }
  if (!image) *error = utf8Path + ": " + *error;
  return image;
}
