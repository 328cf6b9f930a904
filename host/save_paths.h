#pragma once
// The files of one save. Dependency-free leaf: the PNG writer and the settings file read these too.
#include "host/platform.h"

// The destination's full path followed by ".temp": the PNG is built here and copied in on Save.
extern platform::WidePath TempPngPath;
// The plug-in's folder, ending with its separator; the settings file lives here.
extern platform::WidePath PluginDir;
