#pragma once
// The host's relocatable blocks ("handles") on plain memory, with what tests need to check their use.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "host/host_abi.h"

class HandleStore {
 public:
  // A new zero-filled block of size bytes; nullptr for a negative size.
  Handle New(int32_t size);
  // Frees a live block; false (and counted as a bad dispose) for anything else, including nullptr.
  bool Dispose(Handle handle);
  // The block's address, or nullptr for a handle that is not live.
  char* Lock(Handle handle, bool lock, bool* wasLocked);
  int32_t GetSize(Handle handle) const;  // 0 for a handle that is not live
  OSErr SetSize(Handle handle, int32_t size);

  bool IsLive(Handle handle) const;
  size_t LiveCount() const { return blocks_.size(); }
  int NewCount() const { return newCount_; }
  int DisposeCount() const { return disposeCount_; }
  int BadDisposeCount() const { return badDisposeCount_; }
  // The block's bytes as a vector (empty when not live).
  std::vector<char> Bytes(Handle handle) const;

 private:
  struct Block {
    char* bytes = nullptr;  // the handle is this member's address, as a host's master pointer
    std::vector<char> storage;
    bool locked = false;
  };
  std::map<Handle, std::unique_ptr<Block>> blocks_;
  int newCount_ = 0;
  int disposeCount_ = 0;
  int badDisposeCount_ = 0;
};
