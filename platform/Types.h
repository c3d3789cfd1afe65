#pragma once
// Handles that cross the platform layer. They are plain numbers to the code above it.
#include <cstdint>

namespace platform {

// An X window id on X11, an HWND on Win32.
using WindowHandle = std::uintptr_t;

// What the saver draws through: on X11 the render thread's own X connection bound to the window,
// on Win32 the window's HDC.
using DeviceContext = void*;

// The OpenGL rendering context: a GLXContext on X11, an HGLRC on Win32.
using GlContext = void*;

}  // namespace platform
