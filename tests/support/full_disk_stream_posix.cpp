// The full disk as a glibc cookie stream over the real file.
#include <cerrno>

#include "tests/support/full_disk_stream.h"

namespace {

struct LimitedFile {
  FILE* file;
  WriteRoom* room;
};

ssize_t WriteWithinRoom(void* cookie, const char* bytes, size_t size) {
  const LimitedFile& limited = *static_cast<LimitedFile*>(cookie);
  const size_t granted = limited.room->TakeUpTo(size);
  const size_t written = granted > 0 ? std::fwrite(bytes, 1, granted, limited.file) : 0;
  if (written < size) errno = ENOSPC;
  return static_cast<ssize_t>(written);
}

ssize_t ReadThrough(void* cookie, char* bytes, size_t size) {
  FILE* file = static_cast<LimitedFile*>(cookie)->file;
  const size_t read = std::fread(bytes, 1, size, file);
  return read == 0 && std::ferror(file) ? -1 : static_cast<ssize_t>(read);
}

int SeekThrough(void* cookie, off64_t* offset, int whence) {
  FILE* file = static_cast<LimitedFile*>(cookie)->file;
  if (fseeko(file, static_cast<off_t>(*offset), whence) != 0) return -1;
  *offset = ftello(file);
  return 0;
}

int CloseThrough(void* cookie) {
  const LimitedFile* limited = static_cast<LimitedFile*>(cookie);
  const int result = std::fclose(limited->file);
  delete limited;
  return result;
}

}  // namespace

bool FullDiskStreamsAvailable() { return true; }

FILE* FullDiskStream(FILE* file, const char* mode, WriteRoom& room) {
  std::setvbuf(file, nullptr, _IONBF, 0);  // the outer stream buffers; every byte here has passed the room check
  auto* limited = new LimitedFile{file, &room};
  FILE* stream =
      fopencookie(limited, mode, cookie_io_functions_t{ReadThrough, WriteWithinRoom, SeekThrough, CloseThrough});
  if (stream == nullptr) {
    std::fclose(file);
    delete limited;
  }
  return stream;
}
