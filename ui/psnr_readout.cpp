#include "ui/psnr_readout.h"

#include <cstdio>

#include "reduce/psnr.h"

std::string PsnrReadoutText(double db) {
  if (db < 0) return std::string();
  if (db >= kIdenticalPsnr) return "PSNR: lossless";
  char text[32];
  std::snprintf(text, sizeof text, "PSNR: %.2f dB", db);
  return text;
}
