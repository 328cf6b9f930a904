#include "host/host_document.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "records/document_info.h"

namespace {

// Far beyond any real profile or XMP packet: a size past it is a fault, not data.
constexpr int32_t kMostHandleBytes = 64 << 20;

// The bytes of a host handle, at most `declared` of them where the record says how many (-1: the handle's size).
std::vector<uint8_t> HandleBytes(const HandleProcs* procs, Handle handle, int32_t declared) {
  if (handle == nullptr || procs == nullptr || procs->getSizeProc == nullptr || procs->lockProc == nullptr ||
      procs->unlockProc == nullptr) {
    return {};
  }
  int32_t size = std::min(procs->getSizeProc(handle), kMostHandleBytes);
  if (declared >= 0) size = std::min(size, declared);
  if (size <= 0) return {};
  std::vector<uint8_t> bytes;
  if (const char* data = procs->lockProc(handle, false)) {
    bytes.assign(reinterpret_cast<const uint8_t*>(data), reinterpret_cast<const uint8_t*>(data) + size);
  }
  procs->unlockProc(handle);
  return bytes;
}

}  // namespace

void TakeHostDocumentInfo(FormatRecord& format) {
  format.canUseICCProfiles = 1;
  DocumentInfo = DocumentInfoRecord{};
  if (format.iCCprofileSize > 0) {
    DocumentInfo.iccProfile = HandleBytes(format.handleProcs, format.iCCprofileData, format.iCCprofileSize);
  }
  const std::vector<uint8_t> xmp = HandleBytes(format.handleProcs, format.xmp, -1);
  // A packet ends at its text's end; a terminator the host kept is not part of it.
  DocumentInfo.xmp.assign(xmp.begin(), std::find(xmp.begin(), xmp.end(), uint8_t{0}));
  DocumentInfo.horizontalResolution = format.imageHRes;
  DocumentInfo.verticalResolution = format.imageVRes;
  DebugLog("document profile bytes %d", static_cast<int>(DocumentInfo.iccProfile.size()));
  DebugLog("document XMP bytes %d", static_cast<int>(DocumentInfo.xmp.size()));
}

void ReleaseHostDocumentInfo() { DocumentInfo = DocumentInfoRecord{}; }
