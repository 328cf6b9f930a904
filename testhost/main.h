#pragma once
// vexhost as a function of its arguments (UTF-8, after the program name): the exit code.
// 0 success; 1 the plug-in reported a non-zero result; 2 usage error, unreadable input or no plug-in.
#include <string>
#include <vector>

int VexhostMain(const std::vector<std::string>& arguments);
