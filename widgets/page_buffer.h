#pragma once
// A move-only owner of one block of page memory (zero-filled when it arrives), for the large pixel buffers.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "host/platform.h"

class PageBuffer {
 public:
  PageBuffer() = default;
  // An empty buffer when `bytes` is 0 or the memory cannot be had.
  explicit PageBuffer(size_t bytes)
      : data_(bytes > 0 ? static_cast<uint8_t*>(platform::AllocatePages(bytes)) : nullptr),
        bytes_(data_ != nullptr ? bytes : 0) {}
  ~PageBuffer() { Reset(); }
  PageBuffer(PageBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}
  PageBuffer& operator=(PageBuffer&& other) noexcept {
    if (this != &other) {
      Reset();
      data_ = std::exchange(other.data_, nullptr);
      bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
  }
  PageBuffer(const PageBuffer&) = delete;
  PageBuffer& operator=(const PageBuffer&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return bytes_; }
  explicit operator bool() const { return data_ != nullptr; }
  void Reset() {
    platform::FreePages(data_, bytes_);
    data_ = nullptr;
    bytes_ = 0;
  }

 private:
  uint8_t* data_ = nullptr;
  size_t bytes_ = 0;
};
