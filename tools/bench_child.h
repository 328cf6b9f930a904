#pragma once
// Runs a reference tool as a child process and measures it.
#include <string>
#include <vector>

namespace bench {

struct ChildTime {
  double wall = 0;
  double cpu = 0;  // user plus system time of the child, summed over its threads
};

// Runs args[0] (a path) with the rest as its arguments, its standard output discarded, and waits for it; false
// when it could not be started or did not exit with 0.
bool RunChild(const std::vector<std::string>& args, ChildTime* time);

}  // namespace bench
