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

namespace {

// A copy of the image's pixels in pages of its own, converted; false, with nothing kept, where it cannot be.
template <typename Record, typename Sample>
bool ConvertedCopy(const Record& image, Sample* Record::*pixels, size_t Record::*bytes, Record& converted) {
  converted = image;
  converted.*pixels = static_cast<Sample*>(platform::AllocatePages(image.*bytes));
  if (converted.*pixels == nullptr) return false;
  std::memcpy(converted.*pixels, image.*pixels, image.*bytes);
  if (ConvertToSrgb(converted, DocumentInfo.iccProfile)) return true;
  platform::FreePages(converted.*pixels, converted.*bytes);
  converted.*pixels = nullptr;
  DebugLog("Convert to sRGB: the profile could not be used");
  return false;
}

}  // namespace

bool PrepareSrgbImage() {
  if (SrgbImage.pixels != nullptr) return true;
  if (WholeImage.pixels == nullptr || !SrgbConversionApplies()) return false;
  WholeImageRecord converted;
  if (!ConvertedCopy(WholeImage, &WholeImageRecord::pixels, &WholeImageRecord::pixelBytes, converted)) return false;
  // A 16-bit document's own samples are converted at 16 bits, for its 16-bit file.
  WholeImage16Record converted16;
  if (WholeImage16.samples != nullptr &&
      !ConvertedCopy(WholeImage16, &WholeImage16Record::samples, &WholeImage16Record::sampleBytes, converted16)) {
    platform::FreePages(converted.pixels, converted.pixelBytes);
    return false;
  }
  SrgbImage = converted;
  SrgbImage16 = converted16;
  return true;
}
