#include "tests/support/pe_resources.h"

#include <cstddef>
#include <optional>

namespace pe {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;

class FileView {
 public:
  explicit FileView(const std::vector<std::uint8_t>& file) : file_(file) {}

  bool Fits(std::uint64_t offset, std::uint64_t size) const {
    return offset <= file_.size() && size <= file_.size() - offset;
  }
  std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    if (!Fits(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(file_[offset] | file_[offset + 1] << 8);
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    if (!Fits(offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(file_[offset]) | static_cast<std::uint32_t>(file_[offset + 1]) << 8 |
           static_cast<std::uint32_t>(file_[offset + 2]) << 16 | static_cast<std::uint32_t>(file_[offset + 3]) << 24;
  }
  const std::uint8_t* At(std::uint64_t offset) const { return file_.data() + offset; }

 private:
  const std::vector<std::uint8_t>& file_;
};

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

struct Layout {
  std::uint16_t machine = 0;
  std::uint32_t resourceRva = 0;
  std::uint32_t resourceSize = 0;
  std::vector<Section> sections;
};

Status ReadLayout(const FileView& view, Layout& layout) {
  if (view.U16(0) != 0x5A4D) return Status::NotPe;  // "MZ"
  const auto peOffset = view.U32(0x3C);
  if (!peOffset || view.U32(*peOffset) != 0x00004550u) return Status::NotPe;  // "PE\0\0"
  const std::uint64_t coff = *peOffset + 4ull;
  const auto machine = view.U16(coff);
  const auto sectionCount = view.U16(coff + 2);
  const auto optionalSize = view.U16(coff + 16);
  const std::uint64_t optional = coff + 20;
  const auto magic = view.U16(optional);
  if (!machine || !sectionCount || !optionalSize || !magic) return Status::NotPe;
  layout.machine = *machine;

  // The data directories follow the fixed part, which is longer in the 64-bit format.
  std::uint64_t directoryCountOffset = 0;
  if (*magic == 0x10B) {
    directoryCountOffset = optional + 92;
  } else if (*magic == 0x20B) {
    directoryCountOffset = optional + 108;
  } else {
    return Status::NotPe;
  }
  const auto directoryCount = view.U32(directoryCountOffset);
  if (!directoryCount) return Status::Corrupt;
  if (*directoryCount <= 2) return Status::NoResources;
  const std::uint64_t resourceDirectory = directoryCountOffset + 4 + 2 * 8;
  const auto rva = view.U32(resourceDirectory);
  const auto size = view.U32(resourceDirectory + 4);
  if (!rva || !size) return Status::Corrupt;
  if (*rva == 0 || *size == 0) return Status::NoResources;
  layout.resourceRva = *rva;
  layout.resourceSize = *size;

  const std::uint64_t table = optional + *optionalSize;
  for (std::uint16_t i = 0; i < *sectionCount; ++i) {
    const std::uint64_t entry = table + i * 40ull;
    const auto virtualSize = view.U32(entry + 8);
    const auto virtualAddress = view.U32(entry + 12);
    const auto rawSize = view.U32(entry + 16);
    const auto rawOffset = view.U32(entry + 20);
    if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) return Status::Corrupt;
    layout.sections.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
  }
  return Status::Ok;
}

// File offset of `size` bytes at `rva`, only when they lie in one section's raw data.
std::optional<std::uint64_t> FileOffsetOf(const Layout& layout, std::uint32_t rva, std::uint32_t size) {
  for (const Section& section : layout.sections) {
    if (rva < section.virtualAddress) continue;
    const std::uint64_t inSection = rva - section.virtualAddress;
    if (inSection + size <= section.rawSize) return section.rawOffset + inSection;
  }
  return std::nullopt;
}

struct DirectoryEntry {
  std::uint32_t name = 0;    // ID, or with the high bit the offset of a counted UTF-16 name
  std::uint32_t target = 0;  // with the high bit a subdirectory, else a data entry
};

// The entries of the resource directory at `offset` (relative to the resource root).
std::optional<std::vector<DirectoryEntry>> ReadDirectory(const FileView& view, std::uint64_t root,
                                                         std::uint32_t offset) {
  const auto named = view.U16(root + offset + 12);
  const auto numbered = view.U16(root + offset + 14);
  if (!named || !numbered) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  for (unsigned i = 0; i < unsigned{*named} + *numbered; ++i) {
    const std::uint64_t at = root + offset + 16 + i * 8ull;
    const auto name = view.U32(at);
    const auto target = view.U32(at + 4);
    if (!name || !target) return std::nullopt;
    entries.push_back({*name, *target});
  }
  return entries;
}

bool NameEquals(const FileView& view, std::uint64_t root, std::uint32_t name, std::string_view wanted) {
  if ((name & kHighBit) == 0) return false;
  const std::uint64_t at = root + (name & ~kHighBit);
  const auto length = view.U16(at);
  if (!length || *length != wanted.size()) return false;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (view.U16(at + 2 + 2 * i) != static_cast<std::uint8_t>(wanted[i])) return false;
  }
  return true;
}

Resource Failed(Status status, std::uint16_t machine) {
  Resource result;
  result.status = status;
  result.machine = machine;
  return result;
}

}  // namespace

Resource ReadResource(const std::vector<std::uint8_t>& file, std::string_view typeName, std::uint16_t id) {
  const FileView view(file);
  Layout layout;
  const Status layoutStatus = ReadLayout(view, layout);
  if (layoutStatus != Status::Ok) return Failed(layoutStatus, layout.machine);

  const auto rootOffset = FileOffsetOf(layout, layout.resourceRva, 16);
  if (!rootOffset) return Failed(Status::Corrupt, layout.machine);
  const std::uint64_t root = *rootOffset;

  // Three levels: type, then name or ID, then language.
  const auto types = ReadDirectory(view, root, 0);
  if (!types) return Failed(Status::Corrupt, layout.machine);
  std::optional<std::uint32_t> names;
  for (const DirectoryEntry& entry : *types) {
    if (NameEquals(view, root, entry.name, typeName) && (entry.target & kHighBit)) names = entry.target & ~kHighBit;
  }
  if (!names) return Failed(Status::TypeMissing, layout.machine);

  const auto ids = ReadDirectory(view, root, *names);
  if (!ids) return Failed(Status::Corrupt, layout.machine);
  std::optional<std::uint32_t> languages;
  for (const DirectoryEntry& entry : *ids) {
    if (entry.name == id && (entry.target & kHighBit)) languages = entry.target & ~kHighBit;
  }
  if (!languages) return Failed(Status::IdMissing, layout.machine);

  const auto languageEntries = ReadDirectory(view, root, *languages);
  if (!languageEntries || languageEntries->empty() || (languageEntries->front().target & kHighBit)) {
    return Failed(Status::Corrupt, layout.machine);
  }
  const std::uint64_t dataEntry = root + languageEntries->front().target;
  const auto dataRva = view.U32(dataEntry);
  const auto dataSize = view.U32(dataEntry + 4);
  if (!dataRva || !dataSize) return Failed(Status::Corrupt, layout.machine);
  const auto dataOffset = FileOffsetOf(layout, *dataRva, *dataSize);
  if (!dataOffset) return Failed(Status::Corrupt, layout.machine);
  Resource result;
  result.status = Status::Ok;
  result.machine = layout.machine;
  result.bytes.assign(view.At(*dataOffset), view.At(*dataOffset) + *dataSize);
  return result;
}

const char* StatusName(Status status) {
  switch (status) {
    case Status::Ok: return "Ok";
    case Status::NotPe: return "NotPe";
    case Status::NoResources: return "NoResources";
    case Status::TypeMissing: return "TypeMissing";
    case Status::IdMissing: return "IdMissing";
    case Status::Corrupt: return "Corrupt";
  }
  return "?";
}

}  // namespace pe
