#pragma once
// The dialog's readout beside the size line: how close the file's picture is to the image.
#include <string>

// "PSNR: 41.53 dB" for a measured figure (two decimals), "PSNR: lossless" for identical pictures, and nothing
// where the file was not measured (an indexed image, a failed encoding).
std::string PsnrReadoutText(double db);
