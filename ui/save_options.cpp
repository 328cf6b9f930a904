#include "ui/save_options.h"

SaveOptionsRecord SaveOptions;

void ResetSaveOptions() { SaveOptions = SaveOptionsRecord{}; }
