#pragma once
// The colour profile the host handed with the document, which it does when the user asks for the profile to be
// embedded: its bytes as handed, for the files of this save to carry. Empty when none was handed.
#include <cstdint>
#include <vector>

struct DocumentProfileRecord {
  std::vector<uint8_t> icc;
};
extern DocumentProfileRecord DocumentProfile;
