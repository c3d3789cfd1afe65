#pragma once
// Sleep and resume from logind's PrepareForSleep signal on the system bus, delivered on a thread
// of its own to a callback. Without a reachable bus nothing is delivered and nothing fails.
namespace platform {

// onSleep(true) before a suspend, onSleep(false) after the resume. The bus is the one GIO takes
// for the system bus (DBUS_SYSTEM_BUS_ADDRESS when set, as tests do).
void WatchLogindSleep(void (*onSleep)(bool starting));

}  // namespace platform
