// Fuzz target: the settings file reader, over any bytes that could lie in Vexlorin.ini.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "records/save_options.h"
#include "tests/fuzz/fuzz_support.h"
#include "ui/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SaveOptionsRecord options;
  ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size), options);

  // Whatever the reader stored is written out whole and read back the same, unchecked values included.
  SaveOptionsRecord reread;
  reread.windowLeft = ~options.windowLeft;  // so a field the writer left out cannot match by accident
  ParseSettings(FormatSettings(options), reread);
  VEX_FUZZ_CHECK(SameOptions(options, reread));

  CheckUsable(options);
  return 0;
}
