#pragma once
// What the host tells of the document besides its pixels: its colour profile (handed when the user asks for it
// to be embedded), its resolution and its XMP metadata. The files of this save carry them as the options say.
#include <cstdint>
#include <string>
#include <vector>

struct DocumentInfoRecord {
  std::vector<uint8_t> iccProfile;   // empty when none was handed
  std::string xmp;                   // the XMP packet, UTF-8; empty when the document has none
  int32_t horizontalResolution = 0;  // pixels per inch, 16.16 fixed point; 0 when unknown
  int32_t verticalResolution = 0;
};
extern DocumentInfoRecord DocumentInfo;
