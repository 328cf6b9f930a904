#include "ui/pane_captions.h"

#include "png/size_text.h"

namespace {
const char kGap[] = "   ";

std::string ByteSize(int64_t bytes) {
  char text[64];
  FormatByteSize(text, sizeof text, bytes);
  return text;
}
}  // namespace

std::string OriginalCaption(int64_t originalBytes) { return "Original" + (kGap + ByteSize(originalBytes)); }

std::string ResultCaption(int64_t fileBytes, int32_t colors, const std::string& psnrReadout) {
  std::string caption = "Vexlorin" + (kGap + ByteSize(fileBytes));
  if (colors > 0) caption += kGap + std::to_string(colors) + (colors == 1 ? " color" : " colors");
  if (!psnrReadout.empty()) caption += kGap + psnrReadout;
  return caption;
}
