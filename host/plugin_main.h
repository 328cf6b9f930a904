#pragma once
// The one entry the host calls, once per selector. Each build defines PluginMain in its entry file, which
// installs that build's preview dialog (ui/save_dialog.h) and hands the call on to DispatchPluginCall.
#include <cstdint>

extern "C" void PluginMain(int16_t selector, void* record, intptr_t* data, int16_t* result);

// Records the call's context, runs the selector's handler and releases suites at the end of a phase; nothing
// leaves it as an exception.
void DispatchPluginCall(int16_t selector, void* record, intptr_t* data, int16_t* result);
