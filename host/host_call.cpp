#include "host/host_call.h"

HostCallRecord HostCall;
SuiteSlot HandleSuiteSlot{nullptr, kHandleSuiteVersion, kHandleSuiteName, 0};
SuiteSlot BufferSuiteSlot{nullptr, kBufferSuiteVersion, kBufferSuiteName, 0};

namespace {

const void* Acquire(SuiteSlot& slot) {
  if (slot.suite != nullptr) return slot.suite;
  if (HostCall.basic == nullptr || HostCall.basic->AcquireSuite == nullptr) {
    slot.lastError = kSPBadParameterError;
    return nullptr;
  }
  const void* suite = nullptr;
  slot.lastError = HostCall.basic->AcquireSuite(slot.name, slot.version, &suite);
  if (slot.lastError != 0) return nullptr;
  if (suite == nullptr) slot.lastError = kSPSuiteNotFoundError;
  slot.suite = suite;
  return suite;
}

void Release(SuiteSlot& slot) {
  if (slot.suite == nullptr || HostCall.basic == nullptr) return;
  if (HostCall.basic->ReleaseSuite != nullptr) HostCall.basic->ReleaseSuite(slot.name, slot.version);
  slot.suite = nullptr;
}

// The host expects every suite still held when the library goes away to be given back.
struct ReleaseAtUnload {
  ~ReleaseAtUnload() { ReleaseSuites(); }
} releaseAtUnload;

}  // namespace

const PSHandleSuite2* HandleSuite() { return static_cast<const PSHandleSuite2*>(Acquire(HandleSuiteSlot)); }

const PSBufferSuite1* BufferSuite() { return static_cast<const PSBufferSuite1*>(Acquire(BufferSuiteSlot)); }

void ReleaseSuites() {
  Release(HandleSuiteSlot);
  Release(BufferSuiteSlot);
}

int32_t ImageRows() {
  return HostCall.use32BitCoordinates ? HostCall.format->imageSize32.v : HostCall.format->imageSize.v;
}

int32_t ImageColumns() {
  return HostCall.use32BitCoordinates ? HostCall.format->imageSize32.h : HostCall.format->imageSize.h;
}

void SetRequestedRect(int32_t top, int32_t left, int32_t bottom, int32_t right) {
  FormatRecord& format = *HostCall.format;
  if (HostCall.use32BitCoordinates) {
    format.theRect32 = VRect{top, left, bottom, right};
  } else {
    format.theRect = Rect16{static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(bottom),
                            static_cast<int16_t>(right)};
  }
}
