// The native build's plug-in entry: the core linked in, with the dialog stand-in answering every save.
#include "host/plugin_main.h"
#include "testhost/dialog_double.h"

extern "C" void PluginMain(int16_t selector, void* record, intptr_t* data, int16_t* result) {
  InstallSaveDialog(&TheDialogDouble());
  DispatchPluginCall(selector, record, data, result);
}
