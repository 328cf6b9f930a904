#pragma once
// How the plug-in starts its threads: as std::thread does, after asking the test seam (base/platform_seam.h), so
// that a test can make a start fail as the system can, with std::system_error or std::bad_alloc.
#include <thread>
#include <utility>

namespace platform {

// Throws when the installed seam makes the thread about to start fail; does nothing otherwise.
void CheckThreadStart();

template <class Function, class... Arguments>
std::thread StartThread(Function&& function, Arguments&&... arguments) {
  CheckThreadStart();
  return std::thread(std::forward<Function>(function), std::forward<Arguments>(arguments)...);
}

}  // namespace platform
