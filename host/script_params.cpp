#include "host/script_params.h"

#include <iterator>

#include "host/host_call.h"

namespace {

// The order in which a recording puts the keys.
const FourCC kRecordOrder[] = {
    FourCharCode("Wdth"), FourCharCode("Hght"), FourCharCode("Left"), FourCharCode("TopW"), FourCharCode("FlCl"),
    FourCharCode("NPal"), FourCharCode("Type"), FourCharCode("UAlC"), FourCharCode("Dthr"), FourCharCode("Rfne"),
    FourCharCode("Cmpr"), FourCharCode("Qlty"), FourCharCode("Meta"), FourCharCode("CsRG"), FourCharCode("Bt16"),
    FourCharCode("UCCl"), FourCharCode("UCDf"),
};
static_assert(std::size(kRecordOrder) == kScriptedSaveOptionCount, "a recording puts every scripted field");

void DisposeDescriptor(PIDescriptorHandle descriptor) {
  const PSHandleSuite2* handles = HandleSuite();
  if (descriptor != nullptr && handles != nullptr) handles->Dispose(descriptor);
}

}  // namespace

bool StoreScriptValue(SaveOptionsRecord& options, FourCC key, int32_t value) {
  const SaveOptionField* field = FindSaveOptionField(key, true);
  if (field == nullptr) return false;
  StoreSaveOption(options, *field, value);
  return true;
}

void ReadScriptParams() {
  PIDescriptorParameters* parameters = HostCall.format->descriptorParameters;
  if (parameters == nullptr || parameters->readDescriptorProcs == nullptr || parameters->descriptor == nullptr) return;
  const ReadDescriptorProcs& procs = *parameters->readDescriptorProcs;

  DescriptorKeyID keys[std::size(kRecordOrder) + 1] = {};  // the host runs to the zero that ends the list
  size_t asked = 0;
  for (const SaveOptionField& field : kSaveOptionFields) {
    if (field.scripted) keys[asked++] = field.code;
  }
  PIReadDescriptor token = procs.openReadDescriptorProc(parameters->descriptor, keys);
  if (token == nullptr) return;

  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;
  int32_t flags = 0;
  while (procs.getKeyProc(token, &key, &type, &flags)) {
    if (FindSaveOptionField(key, true) == nullptr) continue;
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

  for (FourCC key : kRecordOrder)
    procs.putIntegerProc(token, key, ReadSaveOption(SaveOptions, *FindSaveOptionField(key)));
  DisposeDescriptor(parameters->descriptor);
  parameters->descriptor = nullptr;
  PIDescriptorHandle recorded = nullptr;
  procs.closeWriteDescriptorProc(token, &recorded);
  parameters->descriptor = recorded;
}
