#include "ui/settings_file.h"

// Placeholder until the settings file format lands: the defaults stand and nothing is written.
void LoadSettings() {}
void SaveSettings() {}
