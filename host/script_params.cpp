#include "host/script_params.h"

// Placeholder until scripting parameters land: nothing is read or recorded.
void ReadScriptParams() {}
void RecordScriptParams() {}
