#include "base/start_thread.h"

#include "base/platform_internal.h"

namespace platform {

void CheckThreadStart() { internal::ThreadStarting(); }

}  // namespace platform
