#include "platform/Clock.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

namespace platform {

std::uint32_t TickCount() { return GetTickCount(); }

FineTimer::FineTimer() { timeBeginPeriod(1); }
FineTimer::~FineTimer() { timeEndPeriod(1); }

}  // namespace platform
