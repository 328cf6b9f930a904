#pragma once
// The settings file Vexlorin.ini beside the plug-in.

// Reads the settings file over the current SaveOptions; a missing file changes nothing.
void LoadSettings();
// Writes every field of SaveOptions to the settings file, replacing it.
void SaveSettings();
