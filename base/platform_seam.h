#pragma once
// Where the platform layer asks before it calls the operating system, so that a test can make the system fail
// where it really can and see that every such failure ends cleanly. Only tests install a seam; the plug-in never
// does, and while none is installed every call goes straight through. One seam at a time, installed and taken
// out while no other thread of the plug-in runs; its answers may be asked for from any thread.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "base/platform.h"

namespace platform {

class Seam {
 public:
  // AllocatePages is about to ask for `bytes`: false refuses them, and it answers nullptr.
  virtual bool AllowPageAllocation(size_t /*bytes*/) { return true; }
  // AllocatePages handed out a block (+1), or FreePages gave one back (-1).
  virtual void PageBlocksChanged(int32_t /*change*/) {}
  // OpenFile is about to open `path` with `mode`: false makes it fail, answering nullptr.
  virtual bool AllowOpening(const WidePath& /*path*/, const char* /*mode*/) { return true; }
  // OpenFile has opened `file` for writing (a mode with w, a or +): the stream to hand out in its place, which
  // then owns `file`; `file` itself to change nothing; nullptr, with `file` closed, to fail the opening.
  virtual FILE* StreamForWriting(FILE* file, const char* /*mode*/) { return file; }
  // HostFileWrite is about to write `count` bytes: false fails that write whole, writing nothing.
  virtual bool AllowHostFileWrite(int64_t /*count*/) { return true; }
  // StartThread is about to start a thread (base/start_thread.h): throws what starting one can throw
  // (std::system_error, std::bad_alloc) to make the start fail.
  virtual void ThreadStarting() {}

 protected:
  ~Seam() = default;
};

// From now on the platform layer asks `seam`; nullptr takes it out again.
void InstallSeam(Seam* seam);

}  // namespace platform
