#pragma once
// The files the test host opens itself: its input and record files, and the destination a plug-in writes
// into. The one place where POSIX and Windows differ (host_files_posix.cpp, host_files_win32.cpp).
#include <cstdint>
#include <cstdio>
#include <string>

// A C runtime file by its UTF-8 path; mode as for fopen ("rb", "wb"). nullptr when it cannot be opened.
FILE* OpenFileByUtf8Path(const std::string& utf8Path, const char* mode);

// The destination, open for writing the way a host hands it to a plug-in: a file descriptor from open() on
// POSIX, a HANDLE from CreateFileW on Windows. This object is its only owner.
class DestinationFile {
 public:
  static constexpr intptr_t kNoFile = -1;  // also INVALID_HANDLE_VALUE

  DestinationFile() = default;
  ~DestinationFile() { Close(); }
  DestinationFile(const DestinationFile&) = delete;
  DestinationFile& operator=(const DestinationFile&) = delete;

  // Creates the file or empties an existing one; false (and nothing held) when it cannot be opened.
  bool Open(const std::string& utf8Path);
  // From now on the open file takes `bytes` more bytes from the plug-in, then refuses every write that does not
  // fit, whole, as a full disk would. Only the native build can do this: there the plug-in's core is linked in
  // and its platform layer refuses (through LinkedPluginWriteLimit). False when it cannot be done (Windows).
  bool RefuseWritesAfter(int64_t bytes);
  void Close();
  bool IsOpen() const { return handle_ != kNoFile; }
  // The open file as FormatRecord::dataFork carries it.
  intptr_t Handle() const { return handle_; }
  // Full path, as FormatRecord::fileSpec2 carries it (UTF-16; c_str() gives the terminator).
  const std::u16string& FullPath() const { return fullPath_; }

 private:
  intptr_t handle_ = kNoFile;
  bool limited_ = false;  // native: the linked plug-in's writes are limited
  std::u16string fullPath_;
};

// Native build: sets how many more bytes the linked plug-in may write to the host's file (negative: no limit).
// Whatever links the plug-in's core into the host sets it (through the platform seam); null elsewhere.
extern void (*LinkedPluginWriteLimit)(int64_t bytes);
