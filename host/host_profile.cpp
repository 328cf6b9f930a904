#include "host/host_profile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/debug_log.h"
#include "records/document_profile.h"

namespace {

// Far beyond any real profile: a size past it is a fault, not a profile.
constexpr int32_t kMostProfileBytes = 64 << 20;

}  // namespace

void TakeHostProfile(FormatRecord& format) {
  format.canUseICCProfiles = 1;
  DocumentProfile.icc.clear();
  const HandleProcs* procs = format.handleProcs;
  if (format.iCCprofileData == nullptr || format.iCCprofileSize <= 0 || procs == nullptr ||
      procs->getSizeProc == nullptr || procs->lockProc == nullptr || procs->unlockProc == nullptr) {
    return;
  }
  const int32_t size = std::min({format.iCCprofileSize, procs->getSizeProc(format.iCCprofileData), kMostProfileBytes});
  if (size <= 0) return;
  const char* bytes = procs->lockProc(format.iCCprofileData, false);
  if (bytes != nullptr) {
    DocumentProfile.icc.assign(reinterpret_cast<const uint8_t*>(bytes), reinterpret_cast<const uint8_t*>(bytes) + size);
  }
  procs->unlockProc(format.iCCprofileData);
  DebugLog("document profile: %d bytes", static_cast<int>(DocumentProfile.icc.size()));
}

void ReleaseHostProfile() { std::vector<uint8_t>().swap(DocumentProfile.icc); }
