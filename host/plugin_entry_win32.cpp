// The plug-in DLL's entry: the Win32 preview dialog answers every save.
#include "host/plugin_main.h"
#include "ui/preview_dialog_win32.h"

extern "C" void PluginMain(int16_t selector, void* record, intptr_t* data, int16_t* result) {
  static Win32PreviewDialog dialog;
  InstallSaveDialog(&dialog);
  DispatchPluginCall(selector, record, data, result);
}
