#pragma once
// The document's colour profile, as the host hands it with a save when the user asks for it to be embedded.
#include "host/host_abi.h"

// Tells the host the plug-in uses profiles, and copies the one it handed (if any) into DocumentProfile; a handle
// the host's handle procedures cannot read leaves it empty.
void TakeHostProfile(FormatRecord& format);

// The profile's copy is of no use once the save is over.
void ReleaseHostProfile();
