#pragma once
// The full-screen saver on a Wayland compositor that offers the layer-shell protocol: a layer
// surface on the overlay layer of every output, the creature on the first, the clear colour on
// the others; keyboard, buttons and pointer motion from the seat close it as on X11.
namespace platform::wayland {

// Runs the saver and returns its exit status; -1 when the compositor cannot be used.
int RunSaver();

}  // namespace platform::wayland
