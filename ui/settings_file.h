#pragma once
// The settings file Vexlorin.ini beside the plug-in: its text format, and reading and writing it.
#include <string>
#include <string_view>

#include "records/save_options.h"

// One comment line: ';' is put in front of text that lacks it, and a line feed after.
std::string FormatCommentLine(std::string_view text);
// The whole file for these options: the header line, then one "key value comment" line per field.
std::string FormatSettings(const SaveOptionsRecord& options);
// Applies every line of a settings file that names a field over options; other lines change nothing.
// Values are stored as parsed, unchecked (see UsableOptions).
void ParseSettings(std::string_view bytes, SaveOptionsRecord& options);

// Reads the settings file over the current SaveOptions; a missing file changes nothing.
void LoadSettings();
// Writes every field of SaveOptions to the settings file, replacing it; a file that can't be created is
// silently not written.
void SaveSettings();
