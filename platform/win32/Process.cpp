#include "platform/Process.h"

namespace platform {

// Nothing to ready: the window system and GDI need no process-wide set-up here.
void PrepareProcess() {}

}  // namespace platform
