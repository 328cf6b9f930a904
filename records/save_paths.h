#pragma once
// The files of one save: the PNG writer, the settings file and the save itself read these.
#include "base/platform.h"

// The destination's full path followed by ".temp": the PNG is built here and copied in on Save.
extern platform::WidePath TempPngPath;
// The plug-in's folder, ending with its separator; the settings file lives here.
extern platform::WidePath PluginDir;
