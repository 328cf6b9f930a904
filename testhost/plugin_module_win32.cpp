// Windows: the plug-in is a DLL, loaded by its full path and asked for its entry point by name.
#include <windows.h>

#include "testhost/plugin_module.h"
#include "testhost/utf16_text.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::u16string ExecutableFolder() {
  std::u16string name(32768, u'\0');
  const DWORD length = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(&name[0]), 32768);
  name.resize(length);
  return name.substr(0, name.find_last_of(u"\\/") + 1);
}

// LoadLibraryW wants backslashes; the full path also keeps the DLL search order out of it.
std::u16string FullPathOf(const std::u16string& path) {
  const DWORD needed = GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::u16string full(needed, u'\0');
  const DWORD length = GetFullPathNameW(Wide(path), needed, reinterpret_cast<wchar_t*>(&full[0]), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

}  // namespace

PluginModule::~PluginModule() {
  if (library_ != nullptr) FreeLibrary(static_cast<HMODULE>(library_));
}

bool PluginModule::Open(const std::string& path, std::string* error) {
  const std::u16string file = path.empty() ? ExecutableFolder() + u"Vexlorin.8bi" : FullPathOf(Utf16FromUtf8(path));
  const std::string shown = Utf8FromUtf16(file);
  HMODULE library = LoadLibraryW(Wide(file));
  if (library == nullptr) {
    *error = "cannot load the plug-in " + shown + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  const FARPROC entry = GetProcAddress(library, kPluginEntryName);
  if (entry == nullptr) {
    FreeLibrary(library);
    *error = "the plug-in " + shown + " exports no " + kPluginEntryName;
    return false;
  }
  library_ = library;
  // Through the generic function pointer type, which converts to any other without a warning.
  entry_ = reinterpret_cast<PluginEntryProc>(reinterpret_cast<void (*)()>(entry));
  return true;
}

bool PluginModule::SetDialogAnswer(bool cancel, std::string* error) {
  if (!cancel) return true;
  *error =
      "--cancel needs the native build's dialog stand-in; press Cancel in the real dialog with --ui and a "
      "script that says cancel";
  return false;
}
