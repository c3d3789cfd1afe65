#pragma once
// The scale the main surface's buffers are drawn at. Where the compositor offers fractional
// scales and viewports, its preferred scale for the surface (in 120ths); otherwise the greatest
// integer scale of the outputs the surface is on, or, before it is on any, of the output it was
// made for. The session's scale120 follows every change; the render thread sizes the buffer.
#include "platform/wayland/WaylandSession.h"

namespace platform::wayland {

struct Globals;

// Follows the scale of the session's main surface, on the window thread, from now on; called
// again, under the session's mainLock, when the creature moves to another cover (nullptr: none).
void FollowScale(const Globals& globals, Session& session, Cover* main);

// An output's integer scale changed (its done event): the main surface follows when it is on it.
void OutputScaleChanged(Output* output);

// An output is about to be released: the main surface is no longer on it.
void OutputGone(Output* output);

}  // namespace platform::wayland
