#pragma once
// Sleep and resume from logind's PrepareForSleep signal on the system bus, delivered on a thread
// of its own to a callback. Without a reachable bus nothing is delivered and nothing fails.
namespace platform {

// onSleep(true) before a suspend, onSleep(false) after the resume. system false watches the
// session bus instead (for tests).
void WatchLogindSleep(void (*onSleep)(bool starting), bool system = true);

}  // namespace platform
