#pragma once
// The role of the saver's surfaces on a compositor with layer-shell: the overlay layer, one
// surface over each output, anchored to all four edges and taking the keyboard. Until a surface
// shows its first frame it shows the frame's clear colour from a buffer in shared memory; that
// part is every role's (ShowConfigured).
#include "platform/wayland/WaylandSession.h"

namespace platform::wayland {

extern const CoverRole layerShellRole;

// What every role does when the compositor has configured a cover's size: the main cover hands
// the size to the render thread, the others (and the main one until its first frame) show the
// clear colour at that size.
void ShowConfigured(Cover* cover, Session& session, int width, int height);
// Every role's start: a cover of a new surface over the output, without a role yet.
Cover* NewCover(Output* output, bool main);

// Every role's hiding: no buffer, and none kept, so that showing it again draws a new one.
void HideCover(Cover* cover);
// The clear colour's buffer, if any, goes (as a role drops its cover).
void ReleaseClearBuffer(Cover* cover);

}  // namespace platform::wayland
