#include "testhost/fake_host.h"

#include <algorithm>
#include <utility>

#include "records/sample_depth.h"
#include "testhost/host_callbacks.h"

namespace {

FakeHost* current = nullptr;

constexpr int32_t kLargest16BitSide = 32767;
constexpr int16_t kModesOffered =
    (1 << kModeBitmap) | (1 << kModeGrayScale) | (1 << kModeIndexed) | (1 << kModeRGB) | (1 << kModeCMYK);
char plugInReference;  // only its address is handed out: the plug-in's identity for the host

int16_t Clamped16(int32_t value) { return static_cast<int16_t>(std::min(value, kLargest16BitSide)); }

// The mode the record names: a host may call a 16-bit document gray or RGB, or by its deep mode.
int16_t RecordMode(const HostImage& image, bool deepModes) {
  if (image.depth != 16 || !deepModes) return image.mode;
  if (image.mode == kModeGrayScale) return kModeGray16;
  return image.mode == kModeRGB ? kModeRGB48 : image.mode;
}

// A new handle of the store holding a copy of bytes.
template <typename Bytes>
Handle HandleHolding(HandleStore& handles, const Bytes& bytes) {
  const Handle handle = handles.New(static_cast<int32_t>(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), *handle);
  return handle;
}

// Frees a handle the host handed out, unless the plug-in has already disposed of it.
void TakeBack(HandleStore& handles, Handle* handed) {
  if (*handed != nullptr && handles.IsLive(*handed)) handles.Dispose(*handed);
  *handed = nullptr;
}

}  // namespace

FakeHost::FakeHost(HostImage image, FakeHostOptions options) {
  state_.image = std::move(image);
  state_.options = std::move(options);
  state_.record = &record_;
  const HostImage& held = state_.image;
  const FakeHostOptions& chosen = state_.options;

  record_.abortProc = FakeAbort;
  record_.progressProc = FakeProgress;
  record_.maxData = static_cast<int32_t>(BufferStore::kSpace);
  record_.dataFork = DestinationFile::kNoFile;
  record_.imageMode = RecordMode(held, chosen.deepModes);
  record_.imageSize = Point16{Clamped16(held.height), Clamped16(held.width)};
  record_.depth = held.depth;
  record_.planes = held.planes;
  record_.imageHRes = held.horizontalResolution;
  record_.imageVRes = held.verticalResolution;
  std::copy(std::begin(held.red), std::end(held.red), record_.redLUT);
  std::copy(std::begin(held.green), std::end(held.green), record_.greenLUT);
  std::copy(std::begin(held.blue), std::end(held.blue), record_.blueLUT);
  for (int16_t plane = 0; plane < 16; ++plane) record_.planeMap[plane] = plane;
  record_.hostSig = kHostSignature;
  record_.hostModes = kModesOffered;
  record_.platformData = &platformData_;
  resourceProcs_ = kFakeResourceProcs;
  if (!chosen.noResourceProcs) record_.resourceProcs = &resourceProcs_;
  record_.colorServices = FakeColorServices;
  if (!chosen.noAdvanceState) record_.advanceState = FakeAdvanceState;
  readDescriptorProcs_ = kFakeReadDescriptorProcs;
  writeDescriptorProcs_ = kFakeWriteDescriptorProcs;
  descriptorParameters_.readDescriptorProcs = &readDescriptorProcs_;
  descriptorParameters_.writeDescriptorProcs = &writeDescriptorProcs_;
  descriptorParameters_.playInfo = chosen.playInfo;
  if (!chosen.noDescriptorParameters) record_.descriptorParameters = &descriptorParameters_;
  record_.errorString = &errorString_;
  record_.maxValue = held.depth == 16 ? kHostSampleMax16 : 255;
  if (!chosen.noBasicSuite) record_.sSPBasic = &FakeBasicSuite;
  record_.plugInRef = &plugInReference;
  record_.transparentIndex = held.transparentIndex;
  if (chosen.supports32BitCoordinates) {
    record_.HostSupports32BitCoordinates = 1;
    record_.imageSize32 = VPoint{held.height, held.width};
  }
  record_.fileSpec2 = &fileSpec2_;

  aboutRecord_.platformData = &platformData_;
  aboutRecord_.sSPBasic = record_.sSPBasic;
  aboutRecord_.plugInRef = record_.plugInRef;
  MakeCurrent();
}

FakeHost::~FakeHost() {
  if (current == this) current = nullptr;
}

FakeHost* FakeHost::Current() { return current; }

void FakeHost::MakeCurrent() { current = this; }

bool FakeHost::SetDestination(const std::string& utf8Path) {
  CloseDestination();
  if (!destination_.Open(utf8Path)) return false;
  if (state_.options.destinationRefusesAfter >= 0 &&
      !destination_.RefuseWritesAfter(state_.options.destinationRefusesAfter)) {
    destination_.Close();
    return false;
  }
  destinationPath_ = destination_.FullPath();
  fileSpec2_.mReference = reinterpret_cast<uint16_t*>(&destinationPath_[0]);
  record_.dataFork = destination_.Handle();
  return true;
}

void FakeHost::CloseDestination() {
  destination_.Close();
  record_.dataFork = DestinationFile::kNoFile;
}

void FakeHost::SetParameters(const DescriptorItems& items) {
  if (state_.options.noDescriptorParameters) return;
  const Handle handle = HandleHolding(state_.handles, EncodeDescriptor(items));
  if (descriptorParameters_.descriptor != nullptr) state_.handles.Dispose(descriptorParameters_.descriptor);
  descriptorParameters_.descriptor = handle;
  state_.incomingDescriptor = handle;
}

int16_t FakeHost::Call(PluginEntryProc entry, int16_t selector) {
  MakeCurrent();
  int16_t result = 0;
  entry(selector, &record_, &dataSlot_, &result);
  calls_.push_back({selector, result});
  return result;
}

int16_t FakeHost::About(PluginEntryProc entry, intptr_t window) {
  MakeCurrent();
  platformData_.hwnd = window;
  int16_t result = 0;
  entry(kSelectorAbout, &aboutRecord_, &dataSlot_, &result);
  calls_.push_back({kSelectorAbout, result});
  return result;
}

int16_t FakeHost::Save(PluginEntryProc entry) {
  HandOverDocumentHandles();
  const int16_t result = RunWriteSelectors(entry);
  TakeBackDocumentHandles();
  return result;
}

int16_t FakeHost::RunWriteSelectors(PluginEntryProc entry) {
  if (const int16_t result = Call(entry, kSelectorWritePrepare); result != 0) return result;
  if (const int16_t result = Call(entry, kSelectorWriteStart); result != 0) return result;
  // Write finish follows write continue even when that failed, so the plug-in can clean up.
  const int16_t continued = Call(entry, kSelectorWriteContinue);
  const int16_t finished = Call(entry, kSelectorWriteFinish);
  return continued != 0 ? continued : finished;
}

void FakeHost::HandOverDocumentHandles() {
  const HostImage& image = state_.image;
  // A host hands a profile only when the user asked for it embedded, and XMP whenever the document has some.
  if (state_.options.embedProfile && !image.iccProfile.empty()) {
    state_.profileHanded = HandleHolding(state_.handles, image.iccProfile);
    record_.iCCprofileData = state_.profileHanded;
    record_.iCCprofileSize = static_cast<int32_t>(image.iccProfile.size());
  }
  if (!image.xmp.empty()) state_.xmpHanded = HandleHolding(state_.handles, image.xmp);
  record_.xmp = state_.xmpHanded;
}

void FakeHost::TakeBackDocumentHandles() {
  TakeBack(state_.handles, &state_.profileHanded);
  TakeBack(state_.handles, &state_.xmpHanded);
  record_.iCCprofileData = nullptr;
  record_.iCCprofileSize = 0;
  record_.xmp = nullptr;
}

int16_t FakeHost::Estimate(PluginEntryProc entry) {
  for (int16_t selector :
       {kSelectorEstimatePrepare, kSelectorEstimateStart, kSelectorEstimateContinue, kSelectorEstimateFinish}) {
    if (const int16_t result = Call(entry, selector); result != 0) return result;
  }
  return 0;
}

SuiteUse FakeHost::SuiteUseOf(const std::string& name) const {
  const auto found = state_.suites.find(name);
  return found != state_.suites.end() ? found->second : SuiteUse{};
}

DescriptorItems FakeHost::RecordedDescriptor() const {
  if (record_.descriptorParameters == nullptr) return {};
  return DecodeDescriptor(state_.handles.Bytes(record_.descriptorParameters->descriptor));
}
