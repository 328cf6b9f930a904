// Native build: the plug-in's core is linked in; the file it stands for only decides the plug-in's folder.
#include <unistd.h>

#include <climits>

#include "base/platform.h"
#include "base/platform_seam.h"
#include "host/plugin_main.h"
#include "testhost/dialog_double.h"
#include "testhost/host_files.h"
#include "testhost/plugin_module.h"
#include "testhost/write_room.h"

namespace {

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char folder[PATH_MAX] = {};
  if (getcwd(folder, sizeof folder) == nullptr) return path;
  return std::string(folder) + "/" + path;
}

// --fail-write-after: a POSIX file cannot refuse one writer part-way, so the linked plug-in's platform layer
// refuses for it, every write into the host's file that no longer fits, whole.
class HostFileRefusal final : public platform::Seam {
 public:
  bool AllowHostFileWrite(int64_t count) override { return room.TakeWhole(count); }

  WriteRoom room;
};
HostFileRefusal hostFileRefusal;

// Installed only while there is a limit.
void LimitHostFileWrites(int64_t bytes) {
  hostFileRefusal.room.Set(bytes);
  platform::InstallSeam(bytes < 0 ? nullptr : &hostFileRefusal);
}

}  // namespace

PluginModule::~PluginModule() = default;

bool PluginModule::Open(const std::string& path, std::string*) {
  if (!path.empty()) platform::SetNativeModuleFileName(platform::FromUtf8(AbsolutePath(path)));
  entry_ = PluginMain;
  LinkedPluginWriteLimit = LimitHostFileWrites;
  return true;
}

bool PluginModule::SetDialogAnswer(bool cancel, std::string*) {
  ResetDialogDouble();
  DialogScript.cancel = cancel;
  return true;
}
