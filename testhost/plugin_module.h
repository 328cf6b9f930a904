#pragma once
// The plug-in vexhost talks to: in the native build the plug-in's core linked into vexhost
// (plugin_module_linked.cpp), on Windows the DLL loaded from its file (plugin_module_win32.cpp).
#include <string>

#include "host/host_abi.h"

class PluginModule {
 public:
  PluginModule() = default;
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // path in UTF-8; empty for Vexlorin.8bi beside vexhost. False with *error set when there is no entry point.
  bool Open(const std::string& path, std::string* error);
  PluginEntryProc Entry() const { return entry_; }

  // How the preview dialog shall answer. The native build's dialog double obeys; the real dialog cannot be
  // told this way, so there it is false with *error set.
  bool SetDialogAnswer(bool cancel, std::string* error);

 private:
  [[maybe_unused]] void* library_ = nullptr;  // the loaded DLL (Windows only); freed by the destructor
  PluginEntryProc entry_ = nullptr;
};
