#include "testhost/handle_store.h"

namespace {
// One spare byte keeps the master pointer non-null for empty blocks.
void Resize(std::vector<char>& storage, int32_t size) { storage.resize(static_cast<size_t>(size) + 1, 0); }
}  // namespace

Handle HandleStore::New(int32_t size) {
  if (size < 0) return nullptr;
  auto block = std::make_unique<Block>();
  Resize(block->storage, size);
  block->bytes = block->storage.data();
  const Handle handle = &block->bytes;
  blocks_[handle] = std::move(block);
  ++newCount_;
  return handle;
}

bool HandleStore::Dispose(Handle handle) {
  if (blocks_.erase(handle) == 0) {
    ++badDisposeCount_;
    return false;
  }
  ++disposeCount_;
  return true;
}

char* HandleStore::Lock(Handle handle, bool lock, bool* wasLocked) {
  const auto found = blocks_.find(handle);
  if (found == blocks_.end()) return nullptr;
  if (wasLocked != nullptr) *wasLocked = found->second->locked;
  found->second->locked = lock;
  return found->second->bytes;
}

int32_t HandleStore::GetSize(Handle handle) const {
  const auto found = blocks_.find(handle);
  return found == blocks_.end() ? 0 : static_cast<int32_t>(found->second->storage.size() - 1);
}

OSErr HandleStore::SetSize(Handle handle, int32_t size) {
  const auto found = blocks_.find(handle);
  if (found == blocks_.end() || size < 0) return kParamErr;
  Block& block = *found->second;
  // A locked block must not move; a real host fails the resize rather than move it.
  if (block.locked && static_cast<size_t>(size) + 1 > block.storage.capacity()) return kMemFullErr;
  const size_t oldSize = block.storage.size() - 1;
  block.storage.resize(oldSize);
  Resize(block.storage, size);
  block.bytes = block.storage.data();
  return kNoErr;
}

bool HandleStore::IsLive(Handle handle) const { return blocks_.count(handle) != 0; }

std::vector<char> HandleStore::Bytes(Handle handle) const {
  const auto found = blocks_.find(handle);
  if (found == blocks_.end()) return {};
  return std::vector<char>(found->second->storage.begin(), found->second->storage.end() - 1);
}
