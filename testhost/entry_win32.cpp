// vexhost's entry on Windows: the arguments arrive as UTF-16 (wmain), so any path survives.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "testhost/main.h"
#include "testhost/utf16_text.h"

int wmain(int argc, wchar_t** argv) {
  // Plain line feeds, as on every other build, so scripts read the same output.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(Utf8FromUtf16(reinterpret_cast<const char16_t*>(argv[i])));
  return VexhostMain(arguments);
}
