#include "host/script_params.h"

#include <iterator>

#include "host/host_call.h"

namespace {

// Each key and the option it carries; recording widens signed bytes with their sign, unsigned ones without.
struct ScriptKey {
  FourCC key;
  int32_t (*get)(const SaveOptionsRecord&);
  void (*set)(SaveOptionsRecord&, int32_t);
};

const ScriptKey kScriptKeys[] = {
    {FourCharCode("Left"), [](const SaveOptionsRecord& o) -> int32_t { return o.windowLeft; },
     [](SaveOptionsRecord& o, int32_t v) { o.windowLeft = v; }},
    {FourCharCode("TopW"), [](const SaveOptionsRecord& o) -> int32_t { return o.windowTop; },
     [](SaveOptionsRecord& o, int32_t v) { o.windowTop = v; }},
    {FourCharCode("Wdth"), [](const SaveOptionsRecord& o) -> int32_t { return o.windowWidth; },
     [](SaveOptionsRecord& o, int32_t v) { o.windowWidth = v; }},
    {FourCharCode("Hght"), [](const SaveOptionsRecord& o) -> int32_t { return o.windowHeight; },
     [](SaveOptionsRecord& o, int32_t v) { o.windowHeight = v; }},
    {FourCharCode("Type"), [](const SaveOptionsRecord& o) -> int32_t { return o.pngType; },
     [](SaveOptionsRecord& o, int32_t v) { o.pngType = static_cast<int8_t>(v); }},
    {FourCharCode("NPal"), [](const SaveOptionsRecord& o) -> int32_t { return o.paletteColors; },
     [](SaveOptionsRecord& o, int32_t v) { o.paletteColors = v; }},
    {FourCharCode("UAlC"), [](const SaveOptionsRecord& o) -> int32_t { return o.alphaChannel; },
     [](SaveOptionsRecord& o, int32_t v) { o.alphaChannel = static_cast<int8_t>(v); }},
    {FourCharCode("UCCl"), [](const SaveOptionsRecord& o) -> int32_t { return o.useKeyColor; },
     [](SaveOptionsRecord& o, int32_t v) { o.useKeyColor = static_cast<int8_t>(v); }},
    {FourCharCode("UCDf"), [](const SaveOptionsRecord& o) -> int32_t { return o.keyColorDither; },
     [](SaveOptionsRecord& o, int32_t v) { o.keyColorDither = static_cast<uint8_t>(v); }},
    {FourCharCode("FlCl"), [](const SaveOptionsRecord& o) -> int32_t { return o.fillColor; },
     [](SaveOptionsRecord& o, int32_t v) { o.fillColor = v; }},
    {FourCharCode("Dthr"), [](const SaveOptionsRecord& o) -> int32_t { return o.dither; },
     [](SaveOptionsRecord& o, int32_t v) { o.dither = static_cast<uint8_t>(v); }},
};

// The order in which a recording puts the keys.
const FourCC kRecordOrder[] = {
    FourCharCode("Wdth"), FourCharCode("Hght"), FourCharCode("Left"), FourCharCode("TopW"),
    FourCharCode("FlCl"), FourCharCode("NPal"), FourCharCode("Type"), FourCharCode("UAlC"),
    FourCharCode("Dthr"), FourCharCode("UCCl"), FourCharCode("UCDf"),
};

const ScriptKey* Find(FourCC key) {
  for (const ScriptKey& entry : kScriptKeys) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

void DisposeDescriptor(PIDescriptorHandle descriptor) {
  const PSHandleSuite2* handles = HandleSuite();
  if (descriptor != nullptr && handles != nullptr) handles->Dispose(descriptor);
}

}  // namespace

bool StoreScriptValue(SaveOptionsRecord& options, FourCC key, int32_t value) {
  const ScriptKey* entry = Find(key);
  if (entry == nullptr) return false;
  entry->set(options, value);
  return true;
}

void ReadScriptParams() {
  PIDescriptorParameters* parameters = HostCall.format->descriptorParameters;
  if (parameters == nullptr || parameters->readDescriptorProcs == nullptr || parameters->descriptor == nullptr) return;
  const ReadDescriptorProcs& procs = *parameters->readDescriptorProcs;

  DescriptorKeyID keys[std::size(kScriptKeys) + 1] = {};  // the host runs to the zero that ends the list
  for (size_t i = 0; i < std::size(kScriptKeys); ++i) keys[i] = kScriptKeys[i].key;
  PIReadDescriptor token = procs.openReadDescriptorProc(parameters->descriptor, keys);
  if (token == nullptr) return;

  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;
  int32_t flags = 0;
  while (procs.getKeyProc(token, &key, &type, &flags)) {
    if (Find(key) == nullptr) continue;
    int32_t value = 0;
    if (procs.getIntegerProc(token, &value) == kNoErr) StoreScriptValue(SaveOptions, key, value);
  }
  procs.closeReadDescriptorProc(token);
  DisposeDescriptor(parameters->descriptor);
  parameters->descriptor = nullptr;
}

void RecordScriptParams() {
  PIDescriptorParameters* parameters = HostCall.format->descriptorParameters;
  if (parameters == nullptr || parameters->writeDescriptorProcs == nullptr) return;
  const WriteDescriptorProcs& procs = *parameters->writeDescriptorProcs;
  PIWriteDescriptor token = procs.openWriteDescriptorProc();
  if (token == nullptr) return;

  for (FourCC key : kRecordOrder) procs.putIntegerProc(token, key, Find(key)->get(SaveOptions));
  DisposeDescriptor(parameters->descriptor);
  parameters->descriptor = nullptr;
  PIDescriptorHandle recorded = nullptr;
  procs.closeWriteDescriptorProc(token, &recorded);
  parameters->descriptor = recorded;
}
