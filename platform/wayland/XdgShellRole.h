#pragma once
// The role of the saver's surfaces on a compositor without layer-shell: one xdg-shell toplevel
// over each output, made full screen on that output. What stays above a full-screen window (a
// notification, a panel) is the compositor's own rule.
#include "platform/wayland/WaylandSession.h"

namespace platform::wayland {

extern const CoverRole xdgShellRole;

}  // namespace platform::wayland
