#pragma once
// Performs a UI script (ui_script.h) on the plug-in's real preview dialog. The dialog runs modally on the
// thread that calls the plug-in, so the driver works from a second thread: it waits for the dialog, does
// one action at a time and lets the dialog finish each before the next. Only the Windows vexhost has a
// dialog to drive (ui_driver_win32.cpp); the native build refuses (ui_driver_none.cpp).
#include <memory>
#include <string>
#include <vector>

#include "testhost/ui_script.h"

// The dialog a script drives: the preview dialog of a save ("Vexlorin"), or the About box of the about call
// ("About Vexlorin"), which has neither panel nor header, so its IDs are looked up in the box itself.
enum class UiDialog { kPreview, kAbout };

class UiDriver {
 public:
  UiDriver();
  ~UiDriver();  // waits for the thread, as Finish does
  UiDriver(const UiDriver&) = delete;
  UiDriver& operator=(const UiDriver&) = delete;

  // Whether this build can drive the dialog at all.
  static bool Supported();

  // Starts the second thread on `actions` for `dialog`; call it on the thread that will run the dialog, before
  // the plug-in is called. False with *error set when no thread can be started (or Supported() is false).
  bool Start(std::vector<UiAction> actions, UiDialog dialog, std::string* error);

  // Call after the plug-in has returned: ends any wait for a dialog that will not come, waits for the thread
  // and answers the first failure ("line N: ..."), or an empty text when every action was done.
  std::string Finish();

  struct Run;  // the thread's state, shared with it

 private:
  std::unique_ptr<Run> run_;
};
