#pragma once
// The Wayland window system's GL surface as a backend (see platform/posix/SurfaceBackend.h).
#include "platform/posix/SurfaceBackend.h"

namespace platform::wayland {

const SurfaceBackend& WaylandSurfaceBackend();

}  // namespace platform::wayland
