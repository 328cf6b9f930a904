// Fuzz target: the scripting parameters a host hands in, read through the fake host's descriptor procs.
// The input is a descriptor as the fake host stores it: items of a 4-byte key and a 4-byte value, in
// machine order; any key, any value, any number of items.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "host/host_call.h"
#include "host/script_params.h"
#include "records/save_options.h"
#include "testhost/descriptor_items.h"
#include "testhost/fake_host.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The rule a played-back descriptor follows, written out apart from the plug-in's table: each of the
// fourteen keys sets its option (the last occurrence wins), byte options keep the low byte, others are ignored.
void Apply(SaveOptionsRecord& options, DescriptorKeyID key, int32_t value) {
  const auto lowByte = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
  switch (key) {
    case FourCharCode("Left"): options.windowLeft = value; break;
    case FourCharCode("TopW"): options.windowTop = value; break;
    case FourCharCode("Wdth"): options.windowWidth = value; break;
    case FourCharCode("Hght"): options.windowHeight = value; break;
    case FourCharCode("Type"): options.pngType = static_cast<int8_t>(lowByte); break;
    case FourCharCode("NPal"): options.paletteColors = value; break;
    case FourCharCode("UAlC"): options.alphaChannel = static_cast<int8_t>(lowByte); break;
    case FourCharCode("UCCl"): options.useKeyColor = static_cast<int8_t>(lowByte); break;
    case FourCharCode("UCDf"): options.keyColorDither = lowByte; break;
    case FourCharCode("FlCl"): options.fillColor = value; break;
    case FourCharCode("Dthr"): options.dither = lowByte; break;
    case FourCharCode("Rfne"): options.refinePalette = lowByte; break;
    case FourCharCode("Cmpr"): options.compression = lowByte; break;
    case FourCharCode("Qlty"): options.paletteQuality = value; break;
    case FourCharCode("Meta"): options.metadata = lowByte; break;
    case FourCharCode("CsRG"): options.convertToSrgb = lowByte; break;
    case FourCharCode("Bt16"): options.sixteenBits = lowByte; break;
    default: break;
  }
}

// One step as a host call of write start or write finish runs it: on this host's record, giving back the
// suites it took.
void RunInHostCall(FakeHost& host, void (*step)()) {
  int16_t result = 0;
  intptr_t dataSlot = 0;
  host.MakeCurrent();
  HostCall = HostCallRecord{};
  HostCall.format = &host.Record();
  HostCall.result = &result;
  HostCall.data = &dataSlot;
  HostCall.basic = host.Record().sSPBasic;
  step();
  ReleaseSuites();
  HostCall = HostCallRecord{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const DescriptorItems items = DecodeDescriptor(std::vector<char>(data, data + size));

  ResetSaveOptions();
  FakeHost host(HostImage{});
  host.SetParameters(items);
  RunInHostCall(host, ReadScriptParams);

  SaveOptionsRecord expected;
  for (const DescriptorItem& item : items) Apply(expected, item.key, item.value);
  VEX_FUZZ_CHECK(SameOptions(SaveOptions, expected));
  CheckUsable(SaveOptions);

  // The host's descriptor was read once, closed, disposed through the Handle suite and taken out of the record.
  const FakeHostState& seen = host.Seen();
  VEX_FUZZ_CHECK(seen.readOpens == 1 && seen.readCloses == 1);
  VEX_FUZZ_CHECK(seen.incomingDescriptorDisposals == 1);
  VEX_FUZZ_CHECK(host.Record().descriptorParameters->descriptor == nullptr);
  VEX_FUZZ_CHECK(seen.handles.LiveCount() == 0 && seen.handles.BadDisposeCount() == 0);
  VEX_FUZZ_CHECK(host.SuiteUseOf(kHandleSuiteName).acquired == host.SuiteUseOf(kHandleSuiteName).released);

  // Recorded and played back again, the options come back unchanged, unchecked values included.
  const SaveOptionsRecord read = SaveOptions;
  RunInHostCall(host, RecordScriptParams);
  const DescriptorItems recorded = host.RecordedDescriptor();
  VEX_FUZZ_CHECK(recorded.size() == kScriptedSaveOptionCount);

  FakeHost replay(HostImage{});
  replay.SetParameters(recorded);
  ResetSaveOptions();
  RunInHostCall(replay, ReadScriptParams);
  VEX_FUZZ_CHECK(SameOptions(SaveOptions, read));
  return 0;
}
