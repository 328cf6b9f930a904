// The basic suite and the Handle, Buffer and ColorSpace suites it hands out.
#include <cstdlib>
#include <cstring>
#include <string>

#include "testhost/color_conversion.h"
#include "testhost/fake_host.h"
#include "testhost/host_callbacks.h"

namespace {

FakeHostState* State() {
  FakeHost* host = FakeHost::Current();
  return host != nullptr ? &host->State() : nullptr;
}

// --- Handle suite, version 2 ---

Handle NewHandle(int32_t size) {
  FakeHostState* state = State();
  if (state == nullptr || state->options.handleNewFails) return nullptr;
  return state->handles.New(size);
}

void DisposeHandle(Handle handle) {
  FakeHostState* state = State();
  if (state == nullptr) return;
  // Forgotten at its dispose: a later block may get the same address.
  if (handle != nullptr && handle == state->incomingDescriptor) {
    ++state->incomingDescriptorDisposals;
    state->incomingDescriptor = nullptr;
  }
  state->handles.Dispose(handle);
}

void SetHandleLock(Handle handle, PIBoolean lock, char** address, PIBoolean* oldLock) {
  FakeHostState* state = State();
  bool wasLocked = false;
  char* bytes = state != nullptr ? state->handles.Lock(handle, lock != 0, &wasLocked) : nullptr;
  if (state != nullptr && state->options.handleLockGivesNoAddress) bytes = nullptr;
  if (address != nullptr) *address = bytes;
  if (oldLock != nullptr) *oldLock = wasLocked ? 1 : 0;
}

int32_t GetHandleSize(Handle handle) {
  FakeHostState* state = State();
  return state != nullptr ? state->handles.GetSize(handle) : 0;
}

OSErr SetHandleSize(Handle handle, int32_t size) {
  FakeHostState* state = State();
  return state != nullptr ? state->handles.SetSize(handle, size) : kParamErr;
}

void RecoverSpace(int32_t) {}

PSHandleSuite2 handleSuite{NewHandle,     DisposeHandle, DisposeHandle, SetHandleLock,
                           GetHandleSize, SetHandleSize, RecoverSpace};

// --- Buffer suite, version 1 ---

char* NewBuffer(uint32_t* requested, uint32_t minimum) {
  FakeHostState* state = State();
  if (state == nullptr || state->options.bufferNewRefuses) return nullptr;
  return state->buffers.New(requested, minimum);
}

void DisposeBuffer(char** buffer) {
  FakeHostState* state = State();
  if (state != nullptr) {
    state->buffers.Dispose(buffer);
  } else if (buffer != nullptr) {
    *buffer = nullptr;
  }
}

uint32_t GetBufferSize(char* buffer) {
  FakeHostState* state = State();
  return state != nullptr ? state->buffers.GetSize(buffer) : 0;
}

uint32_t GetBufferSpace() { return BufferStore::kSpace; }

PSBufferSuite1 bufferSuite{NewBuffer, DisposeBuffer, GetBufferSize, GetBufferSpace};

// --- ColorSpace suite, version 1: only the 8-bit conversion is offered ---

SPErr Convert8(int16_t inputSpace, int16_t outputSpace, Color8* colors, int16_t count) {
  if (FakeHostState* state = State()) ++state->colorConversions;
  return ConvertColors8(inputSpace, outputSpace, colors, count);
}

PSColorSpaceSuite1 colorSpaceSuite{
    [](ColorID*) -> SPErr { return kSPUnimplementedError; },
    [](ColorID*) -> SPErr { return kSPUnimplementedError; },
    [](ColorID, int16_t, uint8_t, uint8_t, uint8_t, uint8_t) -> SPErr { return kSPUnimplementedError; },
    [](ColorID, int16_t, uint8_t*, uint8_t*, uint8_t*, uint8_t*, PIBoolean*) -> SPErr { return kSPUnimplementedError; },
    [](ColorID, CS_XYZColor) -> SPErr { return kSPUnimplementedError; },
    [](ColorID, CS_XYZColor*) -> SPErr { return kSPUnimplementedError; },
    Convert8,
    [](int16_t, int16_t, Color16*, int16_t) -> SPErr { return kSPUnimplementedError; },
    [](ColorID, int16_t*) -> SPErr { return kSPUnimplementedError; },
    [](ColorID, PIBoolean*) -> SPErr { return kSPUnimplementedError; },
    [](ColorID, ASZString*) -> SPErr { return kSPUnimplementedError; },
    [](ColorID*, ASZString) -> SPErr { return kSPUnimplementedError; },
    [](uint8_t*, uint16_t*, int16_t) -> SPErr { return kSPUnimplementedError; },
    [](uint16_t*, uint8_t*, int16_t) -> SPErr { return kSPUnimplementedError; },
    [](int16_t, Color8*, Color8*, int16_t) -> SPErr { return kSPUnimplementedError; },
    [](float*, uint8_t*, int16_t) -> SPErr { return kSPUnimplementedError; },
};

// --- The basic suite ---

struct OfferedSuite {
  const char* name;
  int32_t version;
  const void* suite;
};

const OfferedSuite kOfferedSuites[] = {
    {kHandleSuiteName, kHandleSuiteVersion, &handleSuite},
    {kBufferSuiteName, kBufferSuiteVersion, &bufferSuite},
    {kColorSpaceSuiteName, kColorSpaceSuiteVersion, &colorSpaceSuite},
};

const OfferedSuite* Find(const char* name, int32_t version) {
  for (const OfferedSuite& offered : kOfferedSuites) {
    if (std::strcmp(offered.name, name) == 0 && offered.version == version) return &offered;
  }
  return nullptr;
}

SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
  FakeHostState* state = State();
  if (suite != nullptr) *suite = nullptr;
  if (state == nullptr || name == nullptr || suite == nullptr) return kSPBadParameterError;
  SuiteUse& use = state->suites[name];
  const OfferedSuite* offered = Find(name, version);
  if (offered == nullptr || state->options.refusedSuites.count(name) != 0) {
    ++use.refused;
    return kSPSuiteNotFoundError;
  }
  ++use.acquired;
  *suite = offered->suite;
  return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int32_t version) {
  FakeHostState* state = State();
  if (state == nullptr || name == nullptr) return kSPBadParameterError;
  if (Find(name, version) == nullptr) return kSPSuiteNotFoundError;
  ++state->suites[name].released;
  return kSPNoError;
}

SPBoolean IsEqual(const char* a, const char* b) { return a != nullptr && b != nullptr && std::strcmp(a, b) == 0; }

SPErr AllocateBlock(size_t size, void** block) {
  if (block == nullptr) return kSPBadParameterError;
  *block = std::malloc(size == 0 ? 1 : size);
  return *block != nullptr ? kSPNoError : kSPOutOfMemoryError;
}

SPErr FreeBlock(void* block) {
  std::free(block);
  return kSPNoError;
}

SPErr ReallocateBlock(void* block, size_t size, void** newBlock) {
  if (newBlock == nullptr) return kSPBadParameterError;
  *newBlock = std::realloc(block, size == 0 ? 1 : size);
  return *newBlock != nullptr ? kSPNoError : kSPOutOfMemoryError;
}

SPErr Undefined() { return kSPUnimplementedError; }

}  // namespace

SPBasicSuite FakeBasicSuite{AcquireSuite, ReleaseSuite, IsEqual, AllocateBlock, FreeBlock, ReallocateBlock, Undefined};
