#pragma once
// The fake host a vexhost command asks for.
#include "testhost/command_line.h"
#include "testhost/fake_host.h"

// The host's side of the command line: the colour picker's answer, the destination's write limit, the play
// information, the abort, the embedded profile and the deep modes.
FakeHostOptions FakeHostOptionsFor(const VexhostArguments& arguments);
