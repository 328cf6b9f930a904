#pragma once
// The save options as the host's scripting parameters.

// Write start: parameters handed in by the host override the loaded options.
void ReadScriptParams();
// Write finish: records the options as the host's new descriptor.
void RecordScriptParams();
