#include "base/platform.h"

#include <climits>

#include "base/platform_internal.h"

namespace platform {

std::string ToUtf8(const WidePath& path) {
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) {
    uint32_t code = path[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (path[i + 1] - 0xDC00);
      ++i;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

WidePath FromUtf8(const std::string& text) {
  WidePath out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    uint32_t code = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    ++i;
    for (; extra > 0 && i < text.size(); --extra, ++i)
      code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

int32_t FileSizeOf(FILE* file) {
  const int64_t position = internal::FileOffset(file);
  if (position < 0 || !internal::SeekFile(file, 0, SEEK_END)) return -1;
  const int64_t size = internal::FileOffset(file);
  internal::SeekFile(file, position, SEEK_SET);
  // A size cut to 32 bits would make the copy hand over part of the file and call it done.
  return size < 0 || size > INT32_MAX ? -1 : static_cast<int32_t>(size);
}

uint64_t AddressSpaceBytes() { return sizeof(void*) == 4 ? uint64_t{1} << 31 : uint64_t{1} << 47; }

}  // namespace platform
