// The callbacks the format record carries: advance state, progress, abort, colour services, resources.
#include <string>

#include "testhost/fake_host.h"
#include "testhost/host_callbacks.h"

namespace {

FakeHostState* State() {
  FakeHost* host = FakeHost::Current();
  return host != nullptr ? &host->State() : nullptr;
}

bool AsksForPlane(const DataRequest& request, int plane) {
  return plane >= 0 && plane >= request.loPlane && plane <= request.hiPlane;
}

// A plug-in that needs no resources must not touch them; every call is counted.
int16_t CountResources(FourCC) {
  if (FakeHostState* state = State()) ++state->resourceCalls;
  return 0;
}

Handle GetResource(FourCC, int16_t) {
  if (FakeHostState* state = State()) ++state->resourceCalls;
  return nullptr;
}

void DeleteResource(FourCC, int16_t) {
  if (FakeHostState* state = State()) ++state->resourceCalls;
}

OSErr AddResource(FourCC, Handle) {
  if (FakeHostState* state = State()) ++state->resourceCalls;
  return kNoErr;
}

std::string PromptText(const unsigned char* pascal) {
  return pascal == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(pascal + 1), pascal[0]);
}

}  // namespace

const ResourceProcs kFakeResourceProcs{3, 4, CountResources, GetResource, DeleteResource, AddResource};

PIBoolean FakeAbort() {
  FakeHostState* state = State();
  if (state == nullptr) return 0;
  ++state->abortChecks;
  const int after = state->options.abortAfter;
  return after >= 0 && state->abortChecks >= after ? 1 : 0;
}

void FakeProgress(int32_t done, int32_t total) {
  if (FakeHostState* state = State()) state->progress.push_back({done, total});
}

OSErr FakeAdvanceState() {
  FakeHostState* state = State();
  if (state == nullptr || state->record == nullptr) return kParamErr;
  ++state->advanceStateCalls;
  const DataRequest request = RequestFrom(*state->record);
  state->dataRequests.push_back(request);
  if (AsksForPlane(request, state->options.advanceStateFailPlane)) return state->options.advanceStateFailCode;
  return FillRequest(state->image, request, state->record->planeMap);
}

OSErr FakeColorServices(ColorServicesInfo* info) {
  FakeHostState* state = State();
  if (state == nullptr || info == nullptr) return kParamErr;
  // The size doubles as the record's version: one built for another layout must not be read.
  if (info->infoSize != static_cast<int32_t>(sizeof(ColorServicesInfo))) return kParamErr;
  if (info->reservedSourceSpaceInfo != nullptr || info->reservedResultSpaceInfo != nullptr ||
      info->reserved != nullptr) {
    return kParamErr;
  }
  if (info->selector != kColorServicesChooseColor) return kParamErr;
  if (info->resultSpace != kColorSpaceRGB && info->resultSpace != kColorSpaceChosen) return kParamErr;
  ColorPick pick;
  pick.prompt = PromptText(info->selectorParameter.pickerPrompt);
  for (int i = 0; i < 4; ++i) pick.initial[i] = info->colorComponents[i];
  state->colorPicks.push_back(pick);
  info->resultSpace = kColorSpaceRGB;
  info->colorComponents[0] = state->options.pickRed;
  info->colorComponents[1] = state->options.pickGreen;
  info->colorComponents[2] = state->options.pickBlue;
  info->colorComponents[3] = 0;
  info->resultGamutInfoValid = 1;
  info->resultInGamut = 1;
  return kNoErr;
}
