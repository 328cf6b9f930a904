#pragma once
// The save options as the host's scripting parameters, so a save can be part of a recorded action.
#include <cstdint>

#include "host/host_abi.h"
#include "records/save_options.h"

// Write start: parameters handed in by the host override the loaded options; the host's descriptor is
// disposed of afterwards.
void ReadScriptParams();
// Write finish: records the options as the host's new descriptor.
void RecordScriptParams();

// The option a key stands for: ints whole, byte options their low byte. False for a key that is not ours.
bool StoreScriptValue(SaveOptionsRecord& options, FourCC key, int32_t value);
