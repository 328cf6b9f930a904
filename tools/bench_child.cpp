#include "tools/bench_child.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/bench_clock.h"

extern char** environ;

namespace bench {

bool RunChild(const std::vector<std::string>& args, ChildTime* time) {
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  // What a tool says of its work would break into the bench's tables; its errors still show.
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  const bool quiet = posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0;
  const auto start = Clock::now();
  pid_t child = 0;
  const int spawned = quiet ? posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) : -1;
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  time->wall = Seconds(Clock::now() - start);
  time->cpu =
      usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace bench
