#include "testhost/buffer_store.h"

#include <algorithm>
#include <new>

char* BufferStore::New(uint32_t* requested, uint32_t minimum) {
  const uint32_t wanted = requested != nullptr ? std::max(*requested, minimum) : minimum;
  const uint32_t size = std::min(wanted, kSpace);
  if (size < minimum) return nullptr;
  Block block;
  block.bytes.reset(new (std::nothrow) char[size == 0 ? 1 : size]());
  if (block.bytes == nullptr) return nullptr;
  block.size = size;
  char* address = block.bytes.get();
  blocks_[address] = std::move(block);
  if (requested != nullptr) *requested = size;
  ++newCount_;
  return address;
}

void BufferStore::Dispose(char** buffer) {
  if (buffer == nullptr || *buffer == nullptr) return;
  if (blocks_.erase(*buffer) == 0) ++badDisposeCount_;
  *buffer = nullptr;
}

uint32_t BufferStore::GetSize(char* buffer) const {
  const auto found = blocks_.find(buffer);
  return found == blocks_.end() ? 0 : found->second.size;
}
