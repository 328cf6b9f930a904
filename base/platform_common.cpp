#include "base/platform.h"

#include <atomic>
#include <climits>

#include "base/platform_internal.h"

namespace platform {

std::string NarrowLowBytes(const WidePath& path) {
  std::string narrow;
  narrow.reserve(path.size());
  for (char16_t unit : path) narrow.push_back(static_cast<char>(unit & 0xFF));
  return narrow;
}

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

// The test seams. Process-wide; the page counters are atomic because reductions allocate on their own threads.
namespace {
std::atomic<int32_t> failingAllocation{0};  // the call number that fails; 0 none
std::atomic<int32_t> allocationCalls{0};
std::atomic<size_t> refusedBytes{0};
std::atomic<int32_t> livePageBlocks{0};
int64_t hostFileRoom = -1;
int64_t fileWriteRoom = -1;
}  // namespace

namespace internal {

bool PageAllocationAllowed(size_t bytes) {
  int32_t call = ++allocationCalls;
  // Only the call that takes the number away fails.
  if (!failingAllocation.compare_exchange_strong(call, 0)) return true;
  refusedBytes = bytes;
  return false;
}

void CountPageBlock(int32_t change) { livePageBlocks += change; }

void SetFileWriteRoom(int64_t bytes) { fileWriteRoom = bytes < 0 ? -1 : bytes; }

bool TakeHostFileRoom(int64_t count) {
  if (hostFileRoom < 0) return true;
  if (count > hostFileRoom) return false;
  hostFileRoom -= count;
  return true;
}

int64_t FileWriteRoom() { return fileWriteRoom; }

size_t TakeFileWriteRoom(size_t wanted) {
  if (fileWriteRoom < 0) return wanted;
  const size_t granted = static_cast<uint64_t>(fileWriteRoom) < wanted ? static_cast<size_t>(fileWriteRoom) : wanted;
  fileWriteRoom -= static_cast<int64_t>(granted);
  return granted;
}

}  // namespace internal

void FailNthPageAllocation(int32_t nth) {
  failingAllocation = nth < 0 ? 0 : nth;
  allocationCalls = 0;
  refusedBytes = 0;
}

int32_t PageAllocationCalls() { return allocationCalls; }

size_t RefusedPageAllocationBytes() { return refusedBytes; }

int32_t LivePageBlocks() { return livePageBlocks; }

void LimitHostFileWrites(int64_t bytes) { hostFileRoom = bytes < 0 ? -1 : bytes; }

uint64_t AddressSpaceBytes() { return sizeof(void*) == 4 ? uint64_t{1} << 31 : uint64_t{1} << 47; }

}  // namespace platform
