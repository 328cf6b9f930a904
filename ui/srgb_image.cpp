#include "ui/srgb_image.h"

#include <cstring>

#include "base/debug_log.h"
#include "base/platform.h"
#include "png/icc_profile.h"
#include "records/document_info.h"
#include "records/whole_image.h"
#include "reduce/srgb_conversion.h"

bool SrgbConversionApplies() {
  if (DocumentInfo.iccProfile.empty() || WholeImage._WholeMode == kWholeIndexed) return false;
  const IccProfileFacts facts = ReadIccProfileFacts(DocumentInfo.iccProfile.data(), DocumentInfo.iccProfile.size());
  const IccColorSpace wanted = WholeImage._WholeMode == kWholeGray ? IccColorSpace::kGray : IccColorSpace::kRgb;
  return facts.valid && !facts.srgb && facts.space == wanted;
}

bool PrepareSrgbImage() {
  if (SrgbImage.pixels != nullptr) return true;
  if (WholeImage.pixels == nullptr || !SrgbConversionApplies()) return false;
  WholeImageRecord converted = WholeImage;
  converted.pixels = static_cast<uint8_t*>(platform::AllocatePages(WholeImage.pixelBytes));
  if (converted.pixels == nullptr) return false;
  std::memcpy(converted.pixels, WholeImage.pixels, WholeImage.pixelBytes);
  if (!ConvertToSrgb(converted, DocumentInfo.iccProfile)) {
    platform::FreePages(converted.pixels, converted.pixelBytes);
    DebugLog("Convert to sRGB: the profile could not be used");
    return false;
  }
  SrgbImage = converted;
  return true;
}
