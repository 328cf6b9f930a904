#pragma once
// The clocks the benchmarks read, and how they pick one figure out of several runs.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// Processor time of this process, every thread summed: on a machine shared with other work it moves less than
// the wall clock.
inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// The best of several runs: other work on the machine only ever adds time, so the least is the steadiest figure.
inline double Best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

}  // namespace bench
