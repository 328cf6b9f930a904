#pragma once
// The host's callbacks as a plug-in calls them: plain functions acting on FakeHost::Current()'s state.
#include "host/host_abi.h"

// Shared by every host and alive for the whole process: a plug-in may still give suites back while it is
// unloaded, after the host that lent them has gone.
extern SPBasicSuite FakeBasicSuite;

// Tables each host copies into its record, so a test may change one host's entries.
extern const ResourceProcs kFakeResourceProcs;
extern const ReadDescriptorProcs kFakeReadDescriptorProcs;
extern const WriteDescriptorProcs kFakeWriteDescriptorProcs;

PIBoolean FakeAbort();
void FakeProgress(int32_t done, int32_t total);
OSErr FakeAdvanceState();
OSErr FakeColorServices(ColorServicesInfo* info);
