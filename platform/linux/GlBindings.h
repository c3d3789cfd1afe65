#pragma once
// What the shared Unix code needs of the GL bindings the window systems bring (GLX, EGL).
namespace platform {

// Lets go of the calling thread's current GL context, whichever binding made it current, so that
// another thread may delete it.
void ReleaseCurrentGlContext();

}  // namespace platform
