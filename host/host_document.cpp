#include "host/host_document.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "host/host_call.h"
#include "records/document_info.h"

namespace {

// Far beyond any real profile or XMP packet: a size past it is a fault, not data.
constexpr int32_t kMostHandleBytes = 64 << 20;

// The bytes of a host handle, at most `declared` of them where the record says how many (-1: the handle's size),
// read through the host's handle suite; the handle is left locked or unlocked as it was.
std::vector<uint8_t> HandleBytes(Handle handle, int32_t declared) {
  const PSHandleSuite2* handles = HandleSuite();
  if (handle == nullptr || handles == nullptr) return {};
  int32_t size = std::min(handles->GetSize(handle), kMostHandleBytes);
  if (declared >= 0) size = std::min(size, declared);
  if (size <= 0) return {};
  char* address = nullptr;
  PIBoolean wasLocked = 0;
  handles->SetLock(handle, 1, &address, &wasLocked);
  std::vector<uint8_t> bytes;
  if (address != nullptr) {
    bytes.assign(reinterpret_cast<const uint8_t*>(address), reinterpret_cast<const uint8_t*>(address) + size);
  }
  if (!wasLocked) {
    PIBoolean locked = 0;
    handles->SetLock(handle, 0, &address, &locked);
  }
  return bytes;
}

}  // namespace

void TakeHostDocumentInfo(FormatRecord& format) {
  format.canUseICCProfiles = 1;
  DocumentInfo = DocumentInfoRecord{};
  if (format.iCCprofileSize > 0) {
    DocumentInfo.iccProfile = HandleBytes(format.iCCprofileData, format.iCCprofileSize);
  }
  const std::vector<uint8_t> xmp = HandleBytes(format.xmp, -1);
  // A packet ends at its text's end; a terminator the host kept is not part of it.
  DocumentInfo.xmp.assign(xmp.begin(), std::find(xmp.begin(), xmp.end(), uint8_t{0}));
  DocumentInfo.horizontalResolution = format.imageHRes;
  DocumentInfo.verticalResolution = format.imageVRes;
  DebugLog("document profile bytes %d", static_cast<int>(DocumentInfo.iccProfile.size()));
  DebugLog("document XMP bytes %d", static_cast<int>(DocumentInfo.xmp.size()));
}

void ReleaseHostDocumentInfo() { DocumentInfo = DocumentInfoRecord{}; }
