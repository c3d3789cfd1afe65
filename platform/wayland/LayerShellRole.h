#pragma once
// The role of the saver's surfaces: layer-shell's overlay layer, one surface over each output,
// anchored to all four edges and taking the keyboard. Until a surface shows its first frame it
// shows the frame's clear colour from a buffer in shared memory. Another role (xdg-shell's
// full-screen toplevel, for compositors without layer-shell) would offer the same three calls.
#include "platform/wayland/WaylandSession.h"

namespace platform::wayland {

struct Globals;

// Covers the output: the creature's surface when main, the clear colour's otherwise. closed is
// called when the compositor takes the surface away (its output went, or it ends the saver); a
// main surface taken away also marks the session lost.
Cover* CoverOutput(const Globals& globals, Session& session, Output* output, bool main,
                   void (*closed)());

// Unmaps the surface (the message box goes over the desktop); the cover stays.
void HideCover(Cover* cover);

// Takes the surface and its role away.
void DestroyCover(Cover* cover);

}  // namespace platform::wayland
