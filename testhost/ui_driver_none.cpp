// The native build has no preview dialog (only its stand-in), so there is nothing for a UI script to drive.
#include "testhost/ui_driver.h"

struct UiDriver::Run {};

UiDriver::UiDriver() = default;
UiDriver::~UiDriver() = default;

bool UiDriver::Supported() { return false; }

bool UiDriver::Start(std::vector<UiAction>, UiDialog, std::string* error) {
  *error = "--ui drives the plug-in's real dialogs, which only the Windows vexhost.exe shows";
  return false;
}

std::string UiDriver::Finish() { return {}; }
