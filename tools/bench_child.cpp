#include "tools/bench_child.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "tools/bench_clock.h"

extern char** environ;

namespace bench {

bool RunChild(const std::vector<std::string>& args, ChildTime* time) {
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  time->wall = Seconds(Clock::now() - start);
  time->cpu =
      usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace bench
