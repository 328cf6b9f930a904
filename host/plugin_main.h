#pragma once
// The one entry the host calls, once per selector.
#include <cstdint>

extern "C" void PluginMain(int16_t selector, void* record, intptr_t* data, int16_t* result);
