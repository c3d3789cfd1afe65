#include "platform/Process.h"

#include "platform/linux/WindowSystem.h"

namespace platform {

// The tests, tools and benchmarks draw on windows named by id: the window system that knows
// those is readied. The saver itself readies only the one it chooses for its mode.
void PrepareProcess() { SelectWindowSystem(WindowNeed::Windows); }

}  // namespace platform
