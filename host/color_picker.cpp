#include "host/color_picker.h"

#include "host/host_abi.h"
#include "host/host_call.h"

namespace {

constexpr int16_t kRgbSpace = 0;

}  // namespace

ColorPick PickColorThroughHost(uint32_t initialColor, uint32_t* picked) {
  if (HostCall.format == nullptr || HostCall.format->colorServices == nullptr) return ColorPick::kUnavailable;
  // Length-prefixed, as the host reads its prompts; a fresh copy per request, since the host gets a
  // writable pointer.
  unsigned char prompt[] = "\016Select a Color";
  static_assert(sizeof prompt == 1 + 14 + 1, "the length byte counts the prompt's 14 characters");
  ColorServicesInfo request{};
  // The record's size is its version tag: 36 bytes on x86, 56 on x64.
  request.infoSize = static_cast<int32_t>(sizeof(ColorServicesInfo));
  request.selector = kColorServicesChooseColor;
  request.sourceSpace = kRgbSpace;
  request.resultSpace = kRgbSpace;
  request.colorComponents[0] = static_cast<int16_t>(initialColor & 0xFF);
  request.colorComponents[1] = static_cast<int16_t>((initialColor >> 8) & 0xFF);
  request.colorComponents[2] = static_cast<int16_t>((initialColor >> 16) & 0xFF);
  request.colorComponents[3] = 255;
  request.selectorParameter.pickerPrompt = prompt;
  if (HostCall.format->colorServices(&request) != kNoErr) return ColorPick::kUnchanged;
  *picked = (static_cast<uint32_t>(request.colorComponents[0]) & 0xFF) |
            (static_cast<uint32_t>(request.colorComponents[1]) & 0xFF) << 8 |
            (static_cast<uint32_t>(request.colorComponents[2]) & 0xFF) << 16;
  return ColorPick::kPicked;
}
