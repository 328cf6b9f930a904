#pragma once
// Nearest-colour answers shared by the threads of one reduction: each colour is searched about once however
// the rows are spread. Direct-mapped and lock-free; a slot keeps the last colour written to it, so an answer
// may be lost to another colour but never changes: the nearest entry is a function of the colour alone.
#include <atomic>
#include <cstdint>

#include "base/page_block.h"

class SharedMatches {
 public:
  SharedMatches();
  // False when the memory for the slots could not be had; then it must not be asked.
  bool Ready() const { return static_cast<bool>(block_); }

  // The index remembered for the colour, or -1.
  int32_t Find(uint32_t color) const {
    const uint64_t slot = slots_[SlotOf(color)].load(std::memory_order_relaxed);
    return static_cast<uint32_t>(slot >> 32) == color && (slot & 0xFFFFFFFFu) != 0
               ? static_cast<int32_t>(slot & 0xFFFFFFFFu) - 1
               : -1;
  }
  void Remember(uint32_t color, int32_t index) {
    slots_[SlotOf(color)].store(uint64_t{color} << 32 | static_cast<uint32_t>(index + 1), std::memory_order_relaxed);
  }

 private:
  static constexpr int kSlotBits = 20;
  static uint32_t SlotOf(uint32_t color) { return (color * 2654435761u) >> (32 - kSlotBits); }

  PageBlock block_;  // zero-filled: every slot empty
  std::atomic<uint64_t>* slots_ = nullptr;
};
