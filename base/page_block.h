#pragma once
// The one owner of a block of page memory: page-granular and zero-filled when it arrives, released as a whole.
// Every large buffer is one. A block that cannot be had is empty: callers check it and give up with an
// out-of-memory status, the one way this code meets a lack of memory.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "base/platform.h"

class PageBlock {
 public:
  PageBlock() = default;
  // Empty when `bytes` is 0 or the memory cannot be had.
  explicit PageBlock(size_t bytes)
      : data_(bytes > 0 ? static_cast<uint8_t*>(platform::AllocatePages(bytes)) : nullptr),
        bytes_(data_ != nullptr ? bytes : 0) {}
  ~PageBlock() { Reset(); }
  PageBlock(PageBlock&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}
  PageBlock& operator=(PageBlock&& other) noexcept {
    if (this != &other) {
      Reset();
      data_ = std::exchange(other.data_, nullptr);
      bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
  }
  PageBlock(const PageBlock&) = delete;
  PageBlock& operator=(const PageBlock&) = delete;

  uint8_t* data() const { return data_; }
  template <class T>
  T* As() const {
    return reinterpret_cast<T*>(data_);
  }
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
