#include "records/save_paths.h"

platform::WidePath TempPngPath;
platform::WidePath PluginDir;
