#include "host/plugin_main.h"

#include <exception>
#include <new>

#include "base/debug_log.h"
#include "host/host_call.h"
#include "host/host_status.h"
#include "host/save_pipeline.h"
#include "host/script_params.h"
#include "ui/save_dialog.h"

namespace {

// A selector's handler is handed the call's result as the host handed it in, and answers the call's result; most
// leave it as it is.
using SelectorHandler = HostStatus (*)(HostStatus handedIn);

HostStatus Nothing(HostStatus handedIn) { return handedIn; }

// A step that has no result of its own.
template <void (*Step)()>
HostStatus KeepingResult(HostStatus handedIn) {
  Step();
  return handedIn;
}

// A step whose result is the call's, whatever the host handed in.
template <HostStatus (*Step)()>
HostStatus GivingResult(HostStatus) {
  return Step();
}

void SetNoMaxData() { HostCall.format->maxData = 0; }
void ClearDataPointer() { HostCall.format->data = nullptr; }

struct SelectorEntry {
  SelectorHandler handler;
  bool releaseSuites;  // after the call even when it succeeds: the end of a phase
};

// Indexed by the host's selector number; the about call (0) never reaches this table.
constexpr SelectorEntry kSelectors[] = {
    {Nothing, true},                            // 0 about
    {Nothing, false},                           // 1 read prepare
    {Nothing, false},                           // 2 read start
    {Nothing, false},                           // 3 read continue
    {Nothing, true},                            // 4 read finish
    {KeepingResult<SetNoMaxData>, false},       // 5 options prepare
    {KeepingResult<ClearDataPointer>, false},   // 6 options start
    {Nothing, false},                           // 7 options continue
    {Nothing, true},                            // 8 options finish
    {KeepingResult<SetNoMaxData>, false},       // 9 estimate prepare
    {KeepingResult<EstimateStart>, false},      // 10 estimate start
    {Nothing, false},                           // 11 estimate continue
    {Nothing, true},                            // 12 estimate finish
    {KeepingResult<SetNoMaxData>, false},       // 13 write prepare
    {GivingResult<WriteStart>, false},          // 14 write start
    {Nothing, false},                           // 15 write continue
    {KeepingResult<RecordScriptParams>, true},  // 16 write finish
    {FilterFile, true},                         // 17 filter file
};
constexpr SelectorEntry kUnknownSelector{Nothing, false};

const SelectorEntry& EntryFor(int16_t selector) {
  const int count = static_cast<int>(sizeof kSelectors / sizeof kSelectors[0]);
  return selector >= 0 && selector < count ? kSelectors[selector] : kUnknownSelector;
}

bool HostIsSufficient(const FormatRecord& format) {
  const ResourceProcs* resources = format.resourceProcs;
  return resources != nullptr && resources->countProc != nullptr && resources->getProc != nullptr &&
         resources->addProc != nullptr && format.advanceState != nullptr;
}

// Locks the 2-byte block in the host's data slot; the status says why it could not be done.
HostStatus LockDataBlock() {
  const PSHandleSuite2* handles = HandleSuite();
  if (handles == nullptr) return HostStatus::HostInsufficient;
  if (*HostCall.data == 0) return HostStatus::BadParameters;
  char* address = nullptr;
  PIBoolean oldLock = 0;
  handles->SetLock(reinterpret_cast<Handle>(*HostCall.data), 1, &address, &oldLock);
  return address == nullptr ? HostStatus::OutOfMemory : HostStatus::Ok;
}

HostStatus CreateDataBlock() {
  const PSHandleSuite2* handles = HandleSuite();
  if (handles == nullptr) return HostStatus::HostInsufficient;
  Handle block = handles->New(2);
  if (block == nullptr) return HostStatus::OutOfMemory;
  *HostCall.data = reinterpret_cast<intptr_t>(block);
  if (const HostStatus locked = LockDataBlock(); locked != HostStatus::Ok) return locked;
  (*block)[0] = 0;
  (*block)[1] = 0;
  return HostStatus::Ok;
}

void UnlockDataBlock() {
  const PSHandleSuite2* handles = HandleSuite();
  if (handles == nullptr || *HostCall.data == 0) return;
  char* address = nullptr;
  PIBoolean oldLock = 0;
  handles->SetLock(reinterpret_cast<Handle>(*HostCall.data), 0, &address, &oldLock);
}

void RunAbout(void* record) {
  HostCall.about = static_cast<AboutRecord*>(record);
  HostCall.basic = HostCall.about != nullptr ? HostCall.about->sSPBasic : nullptr;
  const PlatformData* platform = HostCall.about != nullptr ? HostCall.about->platformData : nullptr;
  if (SaveDialog* dialog = InstalledSaveDialog()) dialog->DoAbout(platform != nullptr ? platform->hwnd : 0);
  ReleaseSuites();
}

HostStatus RunFormatSelector(int16_t selector, HostStatus handedIn) {
  FormatRecord& format = *HostCall.format;
  HostCall.basic = format.sSPBasic;
  HostCall.plugInRef = format.plugInRef;
  if (!HostIsSufficient(format)) return HostStatus::HostInsufficient;
  HostCall.use32BitCoordinates = format.HostSupports32BitCoordinates != 0;
  if (HostCall.use32BitCoordinates) format.PluginUsing32BitCoordinates = 1;

  if (*HostCall.data == 0) {
    if (const HostStatus made = CreateDataBlock(); made != HostStatus::Ok) return made;
  }
  if (handedIn == HostStatus::Ok) {
    if (const HostStatus locked = LockDataBlock(); locked != HostStatus::Ok) return locked;
  }

  const SelectorEntry& entry = EntryFor(selector);
  const HostStatus status = entry.handler(handedIn);
  UnlockDataBlock();
  if (entry.releaseSuites || status != HostStatus::Ok) ReleaseSuites();
  return status;
}

HostStatus RunSelector(int16_t selector, void* record, HostStatus handedIn) {
  if (selector == kSelectorAbout) {
    RunAbout(record);
    return handedIn;
  }
  if (record == nullptr) return HostStatus::BadParameters;
  HostCall.format = static_cast<FormatRecord*>(record);
  return RunFormatSelector(selector, handedIn);
}

}  // namespace

void DispatchPluginCall(int16_t selector, void* record, intptr_t* data, int16_t* result) {
  if (result == nullptr || data == nullptr) return;
  HostCall.result = result;
  HostCall.data = data;
  HostCall.format = nullptr;
  HostCall.about = nullptr;
  const HostStatus handedIn = HostStatus::FromHost(*result);
  HostStatus status = handedIn;
  // Nothing may unwind into the host: every failure leaves here as a result code.
  try {
    status = RunSelector(selector, record, handedIn);
  } catch (const std::bad_alloc&) {
    DebugLog("PluginMain: out of memory");
    status = HostStatus::OutOfMemory;
    ReleaseSuites();
  } catch (...) {
    DebugLog("PluginMain: unexpected exception");
    status = HostStatus::Failed;
    ReleaseSuites();
  }
  // The one place the host's result is written.
  *result = ResultCode(status);
}
