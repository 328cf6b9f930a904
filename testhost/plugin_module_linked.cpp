// Native build: the plug-in's core is linked in; the file it stands for only decides the plug-in's folder.
#include <unistd.h>

#include <climits>

#include "base/platform.h"
#include "host/plugin_main.h"
#include "testhost/dialog_double.h"
#include "testhost/host_files.h"
#include "testhost/plugin_module.h"

namespace {

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char folder[PATH_MAX] = {};
  if (getcwd(folder, sizeof folder) == nullptr) return path;
  return std::string(folder) + "/" + path;
}

}  // namespace

PluginModule::~PluginModule() = default;

bool PluginModule::Open(const std::string& path, std::string*) {
  if (!path.empty()) platform::SetNativeModuleFileName(platform::FromUtf8(AbsolutePath(path)));
  entry_ = PluginMain;
  LinkedPluginWriteLimit = platform::LimitHostFileWrites;
  return true;
}

bool PluginModule::SetDialogAnswer(bool cancel, std::string*) {
  ResetDialogDouble();
  DialogScript.cancel = cancel;
  return true;
}
