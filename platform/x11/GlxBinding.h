#pragma once
// The X11 backend's GL binding: GLX on the render thread's own connection. The window system
// code (GlSurface.cpp) keeps the windows, the error traps and the events; this keeps the GL.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/Types.h"

namespace platform::x11 {

// A visual of `screen` with RGBA, double buffering, 8 bits per colour, at least 8 depth bits and
// the smallest stencil there is (none where the server offers such a visual), or nullptr. The
// caller frees it with XFree.
XVisualInfo* ChooseGlVisual(Display* display, int screen);

// True when `visual` offers what the saver needs (the same rules as ChooseGlVisual, and no
// stencil unless allowed: a window whose visual has one is drawn through a covering child of a
// chosen visual, except the root window, where such a child would be a top-level window).
bool IsGlVisualUsable(Display* display, XVisualInfo* visual, bool stencilAllowed = false);

}  // namespace platform::x11

namespace platform::glx {

// A direct context for `visual`, or nullptr.
GlContext CreateContext(Display* display, XVisualInfo* visual);
// False when GLX refuses the drawable or the context.
bool MakeCurrent(Display* display, Drawable drawable, GlContext context);
void SwapBuffers(Display* display, Drawable drawable);
// GLX_MESA_copy_sub_buffer: showing a rectangle (x, y from the bottom left corner) of the back
// buffer in the window while the back buffer keeps its contents. Ask after glewInit.
bool CopySubBufferAvailable();
void CopySubBuffer(Display* display, Drawable drawable, int x, int y, int width, int height);
// GLX_EXT_swap_control, as GLEW reports it after glewInit.
bool SwapControlAvailable();
// False when the driver has no glXSwapIntervalEXT.
bool SetSwapInterval(Display* display, Drawable drawable, int interval);
void DestroyContext(Display* display, GlContext context);
// Lets go of the calling thread's current GLX context, if it has one.
void ReleaseCurrent();
// The calling thread's current context and its connection; nullptr when it has none.
GlContext CurrentContext();
Display* CurrentDisplay();
// Display lists `listBase` + c drawing the glyphs `first` .. `first` + `count` - 1 of `font`.
void UseXFont(Font font, int first, int count, unsigned listBase);

}  // namespace platform::glx
