#pragma once
// The captions under 2-Up's panes.
#include <cstdint>
#include <string>

// "Original" and the size of the image's samples, as the size line counts it.
std::string OriginalCaption(int64_t originalBytes);
// "Vexlorin", the file's size, its colours where it has a palette (colors 0: none) and the readout of its PSNR
// where there is one (empty: none).
std::string ResultCaption(int64_t fileBytes, int32_t colors, const std::string& psnrReadout);
