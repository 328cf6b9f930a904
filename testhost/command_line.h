#pragma once
// vexhost's command line:
//   vexhost [--plugin PATH] save INPUT OUTPUT [--param KEY=INT]... [--record FILE] [--cancel] [--pick RRGGBB]
//           [--ui SCRIPT] [--fail-write-after N] [--play-info N] [--abort-after N]
//           [--embed-profile [--icc FILE]] [--resolution DPI] [--xmp FILE] [--deep-modes]
//   vexhost [--plugin PATH] estimate INPUT [--deep-modes]
//   vexhost [--plugin PATH] about [--ui SCRIPT]
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testhost/descriptor_items.h"

enum class VexhostCommand { kSave, kEstimate, kAbout };

struct VexhostArguments {
  VexhostCommand command = VexhostCommand::kAbout;
  std::string pluginPath;  // empty: Vexlorin.8bi beside vexhost
  std::string input;
  std::string output;
  DescriptorItems parameters;  // --param, in the order given
  std::string recordPath;      // empty: the recorded descriptor is not written out
  bool cancel = false;
  uint8_t pick[3] = {};  // red, green, blue for the colour picker
  std::string uiScript;
  int64_t failWriteAfter = -1;      // --fail-write-after: OUTPUT takes this many bytes, then refuses; -1 no limit
  std::optional<int16_t> playInfo;  // --play-info: the descriptor parameters' play information
  int abortAfter = -1;              // --abort-after: the abort callback says yes from this call on; -1 never
  bool embedProfile = false;        // --embed-profile: the save gets the document's colour profile
  std::string iccPath;              // --icc: the profile's bytes come from this file; empty: the input's
  int32_t resolution = 0;           // --resolution: pixels per inch in both directions; 0: the input's
  std::string xmpPath;              // --xmp: the XMP text comes from this file; empty: the input's
  bool deepModes = false;           // --deep-modes: a 16-bit document is Gray16 or RGB48, not gray or RGB
};

// The largest resolution the record's Fixed 16.16 can carry in whole pixels per inch.
constexpr int32_t kLargestResolution = 32767;

extern const char kVexhostUsage[];

// Arguments after the program name, UTF-8. nullopt with *error set when they do not form a command.
std::optional<VexhostArguments> ParseVexhostArguments(const std::vector<std::string>& arguments, std::string* error);

// "Left" -> 0x4C656674; nullopt unless the text is exactly four printable ASCII characters.
std::optional<DescriptorKeyID> KeyFromText(const std::string& text);
std::string KeyText(DescriptorKeyID key);
