#pragma once
// What the host hands of the document besides its pixels, taken at the start of a save: its colour profile (when
// the user asks for it to be embedded), its resolution and its XMP.
#include "host/host_abi.h"

// Tells the host the plug-in uses profiles, and copies the profile, the resolution and the XMP it handed into
// DocumentInfo; a handle the host's handle suite cannot read leaves its part empty.
void TakeHostDocumentInfo(FormatRecord& format);

// The copies are of no use once the save is over.
void ReleaseHostDocumentInfo();
