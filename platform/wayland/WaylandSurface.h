#pragma once
// The Wayland window system's GL surface as a backend (see platform/linux/SurfaceBackend.h).
#include "platform/linux/SurfaceBackend.h"

namespace platform::wayland {

const SurfaceBackend& WaylandSurfaceBackend();

}  // namespace platform::wayland
