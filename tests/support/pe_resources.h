#pragma once

// Reads resources straight out of a Windows DLL's file, so that a 32-bit plug-in, which cannot be
// loaded on this machine, can still be checked byte for byte.

#include <cstdint>
#include <string_view>
#include <vector>

namespace pe {

enum class Status {
  Ok,
  NotPe,        // no "MZ" / "PE\0\0" signature, or a header outside the file
  NoResources,  // empty resource data directory
  TypeMissing,  // no resource type of that name
  IdMissing,    // the type has no resource of that ID
  Corrupt,      // an offset or size points outside the file
};

struct Resource {
  Status status = Status::NotPe;
  std::uint16_t machine = 0;  // COFF machine of the file: 0x14C x86, 0x8664 x64
  std::vector<std::uint8_t> bytes;
};

// The first language of resource `id` under the string-named type `typeName` (ASCII).
Resource ReadResource(const std::vector<std::uint8_t>& file, std::string_view typeName, std::uint16_t id);

const char* StatusName(Status status);

}  // namespace pe
