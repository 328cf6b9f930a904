#pragma once
// The host's buffer suite on plain memory: pointer-addressed blocks the plug-in borrows and gives back.
#include <cstdint>
#include <map>
#include <memory>

class BufferStore {
 public:
  // Room the store claims to have; larger requests get only what fits, if that still meets the minimum.
  static constexpr uint32_t kSpace = 512u << 20;

  // *requested in: the size wanted, out: the size given (nullptr: the minimum only). nullptr when not even
  // the minimum can be had.
  char* New(uint32_t* requested, uint32_t minimum);
  // Frees a buffer of this store and clears the caller's pointer; nothing happens for nullptr.
  void Dispose(char** buffer);
  uint32_t GetSize(char* buffer) const;  // 0 for anything not live

  size_t LiveCount() const { return blocks_.size(); }
  int NewCount() const { return newCount_; }
  int BadDisposeCount() const { return badDisposeCount_; }

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    uint32_t size = 0;
  };
  std::map<char*, Block> blocks_;
  int newCount_ = 0;
  int badDisposeCount_ = 0;
};
