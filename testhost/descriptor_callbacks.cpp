// The read and write descriptor procs: scripting parameters in and out of the plug-in.
#include <algorithm>
#include <memory>

#include "testhost/fake_host.h"
#include "testhost/host_callbacks.h"

namespace {

FakeHostState* State() {
  FakeHost* host = FakeHost::Current();
  return host != nullptr ? &host->State() : nullptr;
}

DescriptorReader* Reader(PIReadDescriptor token) {
  FakeHostState* state = State();
  if (state == nullptr) return nullptr;
  const auto found = state->readers.find(token);
  return found != state->readers.end() ? found->second.get() : nullptr;
}

DescriptorWriter* Writer(PIWriteDescriptor token) {
  FakeHostState* state = State();
  if (state == nullptr) return nullptr;
  const auto found = state->writers.find(token);
  return found != state->writers.end() ? found->second.get() : nullptr;
}

// --- Reading ---

PIReadDescriptor OpenRead(PIDescriptorHandle descriptor, DescriptorKeyID* keys) {
  FakeHostState* state = State();
  if (state == nullptr || !state->handles.IsLive(descriptor)) return nullptr;
  ++state->readOpens;
  state->readKeyList.clear();
  for (size_t i = 0; keys != nullptr && keys[i] != 0; ++i) state->readKeyList.push_back(keys[i]);
  auto reader = std::make_unique<DescriptorReader>(DecodeDescriptor(state->handles.Bytes(descriptor)), keys);
  const auto token = reinterpret_cast<PIReadDescriptor>(reader.get());
  state->readers[token] = std::move(reader);
  return token;
}

OSErr CloseRead(PIReadDescriptor token) {
  DescriptorReader* reader = Reader(token);
  if (reader == nullptr) return kParamErr;
  FakeHostState* state = State();
  ++state->readCloses;
  state->undeliveredKeys = reader->UndeliveredKeys();
  const OSErr error = reader->Error();
  state->readers.erase(token);
  return error;
}

PIBoolean GetKey(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32_t* flags) {
  DescriptorReader* reader = Reader(token);
  return reader != nullptr && reader->NextKey(key, type, flags) ? 1 : 0;
}

OSErr GetInteger(PIReadDescriptor token, int32_t* value) {
  DescriptorReader* reader = Reader(token);
  return reader != nullptr ? reader->GetInteger(value) : kParamErr;
}

OSErr GetPinnedInteger(PIReadDescriptor token, int32_t min, int32_t max, int32_t* value) {
  DescriptorReader* reader = Reader(token);
  return reader != nullptr ? reader->GetPinnedInteger(min, max, value) : kParamErr;
}

// Every item is an integer: any other getter is asked for the wrong type.
template <typename... Arguments>
OSErr WrongType(PIReadDescriptor token, Arguments...) {
  DescriptorReader* reader = Reader(token);
  return reader != nullptr ? reader->WrongType() : kParamErr;
}

// --- Writing ---

PIWriteDescriptor OpenWrite() {
  FakeHostState* state = State();
  if (state == nullptr) return nullptr;
  ++state->writeOpens;
  auto writer = std::make_unique<DescriptorWriter>();
  const auto token = reinterpret_cast<PIWriteDescriptor>(writer.get());
  state->writers[token] = std::move(writer);
  return token;
}

OSErr CloseWrite(PIWriteDescriptor token, PIDescriptorHandle* newDescriptor) {
  DescriptorWriter* writer = Writer(token);
  if (writer == nullptr) return kParamErr;
  FakeHostState* state = State();
  ++state->writeCloses;
  state->writtenParameters = writer->Items();
  state->writers.erase(token);
  const std::vector<char> bytes = EncodeDescriptor(state->writtenParameters);
  const Handle handle = state->handles.New(static_cast<int32_t>(bytes.size()));
  if (handle == nullptr) return kMemFullErr;
  std::copy(bytes.begin(), bytes.end(), *handle);
  state->descriptorsReturned.push_back(handle);
  if (newDescriptor != nullptr) *newDescriptor = handle;
  return kNoErr;
}

OSErr PutInteger(PIWriteDescriptor token, DescriptorKeyID key, int32_t value) {
  DescriptorWriter* writer = Writer(token);
  if (writer == nullptr) return kParamErr;
  writer->PutInteger(key, value);
  return kNoErr;
}

// This host records integers only.
template <typename... Arguments>
OSErr NotRecorded(PIWriteDescriptor, Arguments...) {
  return kParamErr;
}

}  // namespace

const ReadDescriptorProcs kFakeReadDescriptorProcs{
    0,
    18,
    OpenRead,
    CloseRead,
    GetKey,
    GetInteger,
    WrongType<double*>,
    WrongType<DescriptorUnitID*, double*>,
    WrongType<PIBoolean*>,
    WrongType<Handle*>,
    WrongType<Handle*>,
    WrongType<DescriptorEnumID*>,
    WrongType<DescriptorClassID*>,
    WrongType<PIDescriptorSimpleReference*>,
    WrongType<DescriptorClassID*, PIDescriptorHandle*>,
    WrongType<uint32_t*>,
    WrongType<Str255*>,
    GetPinnedInteger,
    WrongType<const double*, const double*, double*>,
    WrongType<const double*, const double*, DescriptorUnitID*, double*>,
};

const WriteDescriptorProcs kFakeWriteDescriptorProcs{
    0,
    16,
    OpenWrite,
    CloseWrite,
    PutInteger,
    NotRecorded<DescriptorKeyID, const double*>,
    NotRecorded<DescriptorKeyID, DescriptorUnitID, const double*>,
    NotRecorded<DescriptorKeyID, PIBoolean>,
    NotRecorded<DescriptorKeyID, Handle>,
    NotRecorded<DescriptorKeyID, Handle>,
    NotRecorded<DescriptorKeyID, DescriptorTypeID, DescriptorEnumID>,
    NotRecorded<DescriptorKeyID, DescriptorTypeID>,
    NotRecorded<DescriptorKeyID, const PIDescriptorSimpleReference*>,
    NotRecorded<DescriptorKeyID, DescriptorTypeID, PIDescriptorHandle>,
    NotRecorded<DescriptorKeyID, uint32_t>,
    NotRecorded<DescriptorKeyID, const unsigned char*>,
    NotRecorded<DescriptorKeyID, DescriptorTypeID>,
    NotRecorded<DescriptorKeyID, DescriptorTypeID, PIDescriptorHandle>,
};
