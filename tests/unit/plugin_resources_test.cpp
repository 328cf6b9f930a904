// The property list and the terminology that the host reads before it loads the plug-in, read back out
// of the built DLLs and compared with bytes assembled here, field by field, from the documented tables.
// On Windows the loader finds them; natively the DLL files' resource directories are walked by hand, which
// also covers the 32-bit plug-in that cannot be loaded on this machine.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "tests/support/pe_resources.h"
#endif

namespace {

constexpr std::uint16_t kResourceId = 16000;

// Appends values the way the host reads them on Windows: integers little-endian, a four-character code
// as the 32-bit number whose most significant byte is its first character, strings as plain bytes.
class Bytes {
 public:
  Bytes& Byte(std::uint8_t value) {
    data_.push_back(value);
    return *this;
  }
  Bytes& Int16(std::uint16_t value) { return Byte(value & 0xFF).Byte(value >> 8); }
  Bytes& Int32(std::uint32_t value) { return Int16(value & 0xFFFF).Int16(value >> 16); }
  Bytes& FourCC(std::string_view code) {
    EXPECT_EQ(code.size(), 4u) << code;
    std::uint32_t value = 0;
    for (char c : code) value = value << 8 | static_cast<std::uint8_t>(c);
    return Int32(value);
  }
  Bytes& Text(std::string_view text) {
    data_.insert(data_.end(), text.begin(), text.end());
    return *this;
  }
  Bytes& CString(std::string_view text) { return Text(text).Byte(0); }
  Bytes& PascalString(std::string_view text) {
    EXPECT_LT(text.size(), 256u);
    return Byte(static_cast<std::uint8_t>(text.size())).Text(text);
  }
  Bytes& Zeros(std::size_t count) {
    data_.insert(data_.end(), count, 0);
    return *this;
  }
  Bytes& Append(const Bytes& other) {
    data_.insert(data_.end(), other.data_.begin(), other.data_.end());
    return *this;
  }
  std::size_t Size() const { return data_.size(); }
  const std::vector<std::uint8_t>& Data() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
};

struct Property {
  std::string key;
  std::uint32_t length;  // as the table gives it: the data with its padding
  Bytes data;
};

// The list's properties in order. The 64-bit plug-in also names its entry point for 64-bit hosts,
// right after the 32-bit one.
std::vector<Property> ExpectedProperties(bool x64) {
  std::vector<Property> properties;
  properties.push_back({"kind", 4, Bytes().FourCC("8BIF")});
  properties.push_back({"name", 12, Bytes().PascalString("Vexlorin")});
  properties.push_back({"vers", 4, Bytes().Int32(0x00010000)});
  properties.push_back({"wx86", 12, Bytes().CString("PluginMain")});
  if (x64) properties.push_back({"8664", 12, Bytes().CString("PluginMain")});
  properties.push_back(
      {"hstm", 36, Bytes().Int32(0).FourCC("KVLZ").FourCC("null").Int16(16000).CString("Brindlewerks Vexlorin")});
  properties.push_back({"mode", 4, Bytes().Byte(0x78)});
  properties.push_back(
      {"enbl", 96,
       Bytes().CString(
           "in (PSHOP_ImageMode, GrayScaleMode, IndexedColorMode, RGBMode, CMYKMode, Gray16Mode, RGB48Mode)")});
  properties.push_back({"ms32", 8, Bytes().Int32(0x7FFFFFFF).Int32(0x7FFFFFFF)});
  properties.push_back({"mxsz", 4, Bytes().Int16(0x7FFF).Int16(0x7FFF)});
  Bytes channels;
  channels.Int16(1);
  for (int mode = 1; mode < 12; ++mode) channels.Int16(24);
  properties.push_back({"mxch", 24, channels});
  properties.push_back({"fmTC", 8, Bytes().FourCC("PNG ").FourCC("PNG ")});
  properties.push_back({"fftT", 8, Bytes().FourCC("PNG ").FourCC("    ")});
  properties.push_back({"RdEx", 4, Bytes().FourCC("PNG ")});
  properties.push_back({"WrEx", 4, Bytes().FourCC("PNG ")});
  properties.push_back({"fftE", 4, Bytes().FourCC("PNG ")});
  properties.push_back({"fmtf", 4, Bytes().Byte(0x5E)});
  properties.push_back({"fmip", 4, Bytes().Byte(0xE0)});  // grayscale, indexed, RGB
  return properties;
}

std::vector<std::uint8_t> ExpectedPropertyList(bool x64) {
  const std::vector<Property> properties = ExpectedProperties(x64);
  Bytes list;
  list.Int16(1).Int32(0).Int32(static_cast<std::uint32_t>(properties.size()));
  for (const Property& property : properties) {
    // The table's length must be the data rounded up to whole 32-bit words.
    EXPECT_EQ(property.length % 4, 0u) << property.key;
    EXPECT_EQ(property.length, (property.data.Size() + 3) / 4 * 4) << property.key;
    list.FourCC("8BIM").FourCC(property.key).Int32(0).Int32(property.length);
    list.Append(property.data);
    if (property.data.Size() < property.length) list.Zeros(property.length - property.data.Size());
  }
  return list.Data();
}

std::vector<std::uint8_t> ExpectedTerminology() {
  Bytes terminology;
  terminology.Int16(1).Byte(1).Byte(0).Int16(0).Int16(0);  // leading word, version 1.0, language, script
  terminology.Int16(1);                                    // suites
  terminology.PascalString("Brindlewerks").PascalString("Adobe example plug-ins").FourCC("KVLZ");
  terminology.Int16(1).Int16(1);  // level, version
  terminology.Int16(0);           // events
  terminology.Int16(1);           // classes
  terminology.PascalString("Vexlorin").FourCC("KVLZ").PascalString("Vexlorin format module");
  terminology.Int16(3);  // properties
  terminology.PascalString("<Inheritance>").FourCC("c@#^").FourCC("Fmt ").PascalString("parent class format");
  terminology.Int16(0x1000);
  terminology.PascalString("foo").FourCC("fooB").FourCC("bool").PascalString("foobar").Int16(0x1000);
  terminology.PascalString("bar").FourCC("barF").FourCC("bool").PascalString("foobar").Int16(0x1000);
  terminology.Int16(0);  // elements
  terminology.Int16(0);  // comparison operators
  terminology.Int16(0);  // enumerations
  return terminology.Data();
}

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
  std::ostringstream text;
  for (std::size_t i = from; i < bytes.size() && i < from + count; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X ", bytes[i]);
    text << byte;
  }
  return text.str();
}

// Equal bytes, or where they first differ.
::testing::AssertionResult SameBytes(const std::vector<std::uint8_t>& actual,
                                     const std::vector<std::uint8_t>& expected) {
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  if (at == actual.size() && at == expected.size()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actual.size() << " bytes, expected " << expected.size()
                                       << "; first difference at offset " << at << ":\n  actual   "
                                       << Hex(actual, at, 16) << "\n  expected " << Hex(expected, at, 16);
}

std::uint32_t ReadInt32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

struct ListedProperty {
  std::string key;  // characters in reading order, first character first
  std::vector<std::uint8_t> data;
};

// Walks the list by its own count and lengths, the way the host does. Empty when a length runs past the
// end or bytes are left over.
std::optional<std::vector<ListedProperty>> WalkPropertyList(const std::vector<std::uint8_t>& list) {
  if (list.size() < 10) return std::nullopt;
  const std::uint32_t count = ReadInt32(list, 6);
  std::vector<ListedProperty> properties;
  std::size_t at = 10;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (list.size() - at < 16) return std::nullopt;
    const std::uint32_t key = ReadInt32(list, at + 4);
    const std::uint32_t length = ReadInt32(list, at + 12);
    if (length % 4 != 0 || list.size() - at - 16 < length) return std::nullopt;
    ListedProperty property;
    for (int shift = 24; shift >= 0; shift -= 8) property.key += static_cast<char>(key >> shift & 0xFF);
    property.data.assign(list.begin() + static_cast<std::ptrdiff_t>(at + 16),
                         list.begin() + static_cast<std::ptrdiff_t>(at + 16 + length));
    properties.push_back(property);
    at += 16 + length;
  }
  if (at != list.size()) return std::nullopt;
  return properties;
}

// The checks every copy of the property list gets, wherever it was read from.
void CheckPropertyList(const std::vector<std::uint8_t>& list, bool x64) {
  EXPECT_TRUE(SameBytes(list, ExpectedPropertyList(x64)));

  // Spelled out once by hand: the codes' letters reversed, the first property right after the count.
  const std::uint8_t count = x64 ? 18 : 17;
  const std::vector<std::uint8_t> start = {0x01,  0x00,              // leading word
                                           0x00,  0x00, 0x00, 0x00,  // version
                                           count, 0x00, 0x00, 0x00,  // count
                                           'M',   'I',  'B',  '8',  'd', 'n', 'i', 'k',
                                           0,     0,    0,    0,                          // "8BIM", "kind", ID 0
                                           4,     0,    0,    0,    'F', 'I', 'B', '8'};  // length 4, "8BIF"
  ASSERT_GE(list.size(), start.size());
  EXPECT_TRUE(SameBytes({list.begin(), list.begin() + static_cast<std::ptrdiff_t>(start.size())}, start));

  const auto properties = WalkPropertyList(list);
  ASSERT_TRUE(properties.has_value()) << "the lengths do not walk the list to its end";
  EXPECT_EQ(ReadInt32(list, 6), x64 ? 18u : 17u);
  ASSERT_EQ(properties->size(), x64 ? 18u : 17u);
  EXPECT_EQ(properties->at(3).key, "wx86");
  EXPECT_EQ(properties->at(4).key, x64 ? "8664" : "hstm");
  std::size_t entries = 0;
  for (const ListedProperty& property : *properties) {
    if (property.key != "8664") continue;
    ++entries;
    const std::vector<std::uint8_t> entry = {'P', 'l', 'u', 'g', 'i', 'n', 'M', 'a', 'i', 'n', 0, 0};
    EXPECT_EQ(property.data, entry);
  }
  EXPECT_EQ(entries, x64 ? 1u : 0u);
}

void CheckTerminology(const std::vector<std::uint8_t>& terminology) {
  EXPECT_TRUE(SameBytes(terminology, ExpectedTerminology()));
  const std::vector<std::uint8_t> start = {1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 12, 'B', 'r', 'i', 'n', 'd'};
  ASSERT_GE(terminology.size(), start.size());
  EXPECT_TRUE(SameBytes({terminology.begin(), terminology.begin() + static_cast<std::ptrdiff_t>(start.size())}, start));
}

#ifdef _WIN32

constexpr bool kX64 = sizeof(void*) == 8;

// The plug-in this tree built, mapped as data the way a host scans plug-ins before loading one.
class PluginResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(L"" VEX_PLUGIN_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "cannot map " << VEX_PLUGIN_PATH << ", error " << GetLastError();
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  std::optional<std::vector<std::uint8_t>> Load(const wchar_t* type) const {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(kResourceId), type);
    if (found == nullptr) return std::nullopt;
    const DWORD size = SizeofResource(module_, found);
    HGLOBAL loaded = LoadResource(module_, found);
    if (loaded == nullptr) return std::nullopt;
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
    if (bytes == nullptr) return std::nullopt;
    return std::vector<std::uint8_t>(bytes, bytes + size);
  }

  HMODULE module_ = nullptr;
};

TEST_F(PluginResources, PropertyListIsFoundAndMatchesItsTable) {
  const auto list = Load(L"PIPL");
  ASSERT_TRUE(list.has_value()) << "no PIPL " << kResourceId << ", error " << GetLastError();
  CheckPropertyList(*list, kX64);
}

TEST_F(PluginResources, TerminologyIsFoundAndMatchesItsTable) {
  const auto terminology = Load(L"AETE");
  ASSERT_TRUE(terminology.has_value()) << "no AETE " << kResourceId << ", error " << GetLastError();
  CheckTerminology(*terminology);
}

#else

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::uint8_t block[65536];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  std::fclose(file);
  return bytes;
}

constexpr std::uint16_t kMachineX86 = 0x14C;
constexpr std::uint16_t kMachineX64 = 0x8664;

TEST(PluginResourcesInFile, Win32PluginCarriesTheX86List) {
  const auto plugin = ReadWholeFile(VEX_WIN32_PLUGIN_PATH);
  if (!plugin) GTEST_SKIP() << "no 32-bit plug-in at " VEX_WIN32_PLUGIN_PATH "; build the win32 preset first";
  const pe::Resource list = pe::ReadResource(*plugin, "PIPL", kResourceId);
  ASSERT_EQ(list.status, pe::Status::Ok) << pe::StatusName(list.status);
  EXPECT_EQ(list.machine, kMachineX86);
  CheckPropertyList(list.bytes, false);

  const pe::Resource terminology = pe::ReadResource(*plugin, "AETE", kResourceId);
  ASSERT_EQ(terminology.status, pe::Status::Ok) << pe::StatusName(terminology.status);
  CheckTerminology(terminology.bytes);
}

// The same reader on the 64-bit plug-in, whose resources the Windows test also reads through the loader.
TEST(PluginResourcesInFile, Win64PluginCarriesTheX64List) {
  const auto plugin = ReadWholeFile(VEX_WIN64_PLUGIN_PATH);
  if (!plugin) GTEST_SKIP() << "no 64-bit plug-in at " VEX_WIN64_PLUGIN_PATH "; build the win64 preset first";
  const pe::Resource list = pe::ReadResource(*plugin, "PIPL", kResourceId);
  ASSERT_EQ(list.status, pe::Status::Ok) << pe::StatusName(list.status);
  EXPECT_EQ(list.machine, kMachineX64);
  CheckPropertyList(list.bytes, true);

  const pe::Resource terminology = pe::ReadResource(*plugin, "AETE", kResourceId);
  ASSERT_EQ(terminology.status, pe::Status::Ok) << pe::StatusName(terminology.status);
  CheckTerminology(terminology.bytes);

  // The reader tells types and IDs apart instead of handing back the first resource it meets.
  EXPECT_EQ(pe::ReadResource(*plugin, "PIP", kResourceId).status, pe::Status::TypeMissing);
  EXPECT_EQ(pe::ReadResource(*plugin, "PIPL", kResourceId + 1).status, pe::Status::IdMissing);
  EXPECT_EQ(pe::ReadResource({plugin->begin() + 1, plugin->end()}, "PIPL", kResourceId).status, pe::Status::NotPe);
}

#endif

}  // namespace
