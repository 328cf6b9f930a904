#pragma once
// Room left on a disk that tests make fill up: how many more bytes the files on it may take. Shared by the seams
// that make the linked plug-in's writes fail (testhost/plugin_module_linked.cpp, tests/support/platform_faults.h).
#include <cstddef>
#include <cstdint>

class WriteRoom {
 public:
  // `bytes` more bytes from now on; negative: no limit.
  void Set(int64_t bytes) { room_ = bytes < 0 ? -1 : bytes; }
  bool Limited() const { return room_ >= 0; }

  // Takes `count` bytes when all of them fit, and none when they do not: a write into a locked range goes
  // through whole or not at all.
  bool TakeWhole(int64_t count) {
    if (room_ < 0) return true;
    if (count > room_) return false;
    room_ -= count;
    return true;
  }

  // Takes as many of `wanted` bytes as fit and answers how many: a disk fills up part-way through a write.
  size_t TakeUpTo(size_t wanted) {
    if (room_ < 0) return wanted;
    const size_t granted = static_cast<uint64_t>(room_) < wanted ? static_cast<size_t>(room_) : wanted;
    room_ -= static_cast<int64_t>(granted);
    return granted;
  }

 private:
  int64_t room_ = -1;
};
