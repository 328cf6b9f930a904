#include "host/color_picker.h"

#include "host/host_abi.h"
#include "host/host_call.h"
#include "records/color.h"

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
  const RgbColor initial = UnpackColor(initialColor);
  request.colorComponents[0] = initial.red;
  request.colorComponents[1] = initial.green;
  request.colorComponents[2] = initial.blue;
  request.colorComponents[3] = 255;
  request.selectorParameter.pickerPrompt = prompt;
  if (HostCall.format->colorServices(&request) != kNoErr) return ColorPick::kUnchanged;
  // The low byte of each component the host returns.
  *picked =
      PackColor(static_cast<uint8_t>(request.colorComponents[0]), static_cast<uint8_t>(request.colorComponents[1]),
                static_cast<uint8_t>(request.colorComponents[2]));
  return ColorPick::kPicked;
}
