#include "reduce/shared_matches.h"

#include <cstddef>
#include <new>

SharedMatches::SharedMatches() : block_(sizeof(std::atomic<uint64_t>) << kSlotBits) {
  static_assert(sizeof(std::atomic<uint64_t>) == sizeof(uint64_t), "a slot is a plain 64-bit word");
  if (!block_) return;
  // Page memory arrives zero-filled: every slot starts empty.
  slots_ = new (block_.data()) std::atomic<uint64_t>[size_t{1} << kSlotBits];
}
