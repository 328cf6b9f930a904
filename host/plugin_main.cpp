#include "host/plugin_main.h"

#include <exception>
#include <new>

#include "base/debug_log.h"
#include "host/host_call.h"
#include "host/save_pipeline.h"
#include "host/script_params.h"
#include "ui/save_dialog.h"

namespace {

void Nothing() {}
void SetNoMaxData() { HostCall.format->maxData = 0; }
void ClearDataPointer() { HostCall.format->data = nullptr; }

struct SelectorEntry {
  void (*handler)();
  bool releaseSuites;  // after the call even when it succeeds: the end of a phase
};

// Indexed by the host's selector number; the about call (0) never reaches this table.
constexpr SelectorEntry kSelectors[] = {
    {Nothing, true},             // 0 about
    {Nothing, false},            // 1 read prepare
    {Nothing, false},            // 2 read start
    {Nothing, false},            // 3 read continue
    {Nothing, true},             // 4 read finish
    {SetNoMaxData, false},       // 5 options prepare
    {ClearDataPointer, false},   // 6 options start
    {Nothing, false},            // 7 options continue
    {Nothing, true},             // 8 options finish
    {SetNoMaxData, false},       // 9 estimate prepare
    {EstimateStart, false},      // 10 estimate start
    {Nothing, false},            // 11 estimate continue
    {Nothing, true},             // 12 estimate finish
    {SetNoMaxData, false},       // 13 write prepare
    {WriteStart, false},         // 14 write start
    {Nothing, false},            // 15 write continue
    {RecordScriptParams, true},  // 16 write finish
    {FilterFile, true},          // 17 filter file
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

// Locks the 2-byte block in the host's data slot; the result says why it could not be done.
OSErr LockDataBlock() {
  const PSHandleSuite2* handles = HandleSuite();
  if (handles == nullptr) return kHostInsufficient;
  if (*HostCall.data == 0) return kFormatBadParameters;
  char* address = nullptr;
  PIBoolean oldLock = 0;
  handles->SetLock(reinterpret_cast<Handle>(*HostCall.data), 1, &address, &oldLock);
  return address == nullptr ? kMemFullErr : kNoErr;
}

OSErr CreateDataBlock() {
  const PSHandleSuite2* handles = HandleSuite();
  if (handles == nullptr) return kHostInsufficient;
  Handle block = handles->New(2);
  if (block == nullptr) return kMemFullErr;
  *HostCall.data = reinterpret_cast<intptr_t>(block);
  if (const OSErr error = LockDataBlock(); error != kNoErr) return error;
  (*block)[0] = 0;
  (*block)[1] = 0;
  return kNoErr;
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

void RunFormatSelector(int16_t selector) {
  FormatRecord& format = *HostCall.format;
  HostCall.basic = format.sSPBasic;
  HostCall.plugInRef = format.plugInRef;
  if (!HostIsSufficient(format)) {
    Result() = kHostInsufficient;
    return;
  }
  HostCall.use32BitCoordinates = format.HostSupports32BitCoordinates != 0;
  if (HostCall.use32BitCoordinates) format.PluginUsing32BitCoordinates = 1;

  if (*HostCall.data == 0) {
    if (const OSErr error = CreateDataBlock(); error != kNoErr) {
      Result() = error;
      return;
    }
  }
  if (Result() == kNoErr) {
    if (const OSErr error = LockDataBlock(); error != kNoErr) {
      Result() = error;
      return;
    }
  }

  const SelectorEntry& entry = EntryFor(selector);
  entry.handler();
  UnlockDataBlock();
  if (entry.releaseSuites || Result() != kNoErr) ReleaseSuites();
}

}  // namespace

void DispatchPluginCall(int16_t selector, void* record, intptr_t* data, int16_t* result) {
  if (result == nullptr || data == nullptr) return;
  HostCall.result = result;
  HostCall.data = data;
  HostCall.format = nullptr;
  HostCall.about = nullptr;
  // Nothing may unwind into the host: every failure leaves here as a result code.
  try {
    if (selector == kSelectorAbout) {
      RunAbout(record);
      return;
    }
    if (record == nullptr) {
      *result = kFormatBadParameters;
      return;
    }
    HostCall.format = static_cast<FormatRecord*>(record);
    RunFormatSelector(selector);
  } catch (const std::bad_alloc&) {
    DebugLog("PluginMain: out of memory");
    *result = kMemFullErr;
    ReleaseSuites();
  } catch (...) {
    DebugLog("PluginMain: unexpected exception");
    *result = kUserCanceledErr;
    ReleaseSuites();
  }
}
