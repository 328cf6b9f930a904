#pragma once
// The context of the current host call and the host suites held between calls of one save.
#include <cstdint>

#include "host/host_abi.h"

// Overwritten at the start of every call of PluginMain; every part that talks to the host reads it here.
struct HostCallRecord {
  FormatRecord* format = nullptr;  // null during the about call
  AboutRecord* about = nullptr;    // set only during the about call
  int16_t* result = nullptr;
  intptr_t* data = nullptr;  // the host's data slot, kept by the host between calls
  SPBasicSuite* basic = nullptr;
  void* plugInRef = nullptr;
  bool use32BitCoordinates = false;
};
extern HostCallRecord HostCall;

// One host suite, acquired through the basic suite on first use and kept until ReleaseSuites.
struct SuiteSlot {
  const void* suite = nullptr;
  int32_t version = 0;
  const char* name = nullptr;
  SPErr lastError = 0;
};
extern SuiteSlot HandleSuiteSlot;
extern SuiteSlot BufferSuiteSlot;

// nullptr when the host cannot give the suite (the slot's lastError says why).
const PSHandleSuite2* HandleSuite();
const PSBufferSuite1* BufferSuite();

// Gives every held suite back to the host, while a basic suite is known.
void ReleaseSuites();

// Image size and requested rectangle in the 32-bit form when the host and plug-in agreed on it.
int32_t ImageRows();
int32_t ImageColumns();
void SetRequestedRect(int32_t top, int32_t left, int32_t bottom, int32_t right);
