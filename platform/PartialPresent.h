#pragma once
// Presenting part of a frame. Where the renderer draws with the processor, a frame that changes a
// small part of the window is cheaper to clear, draw and show in that part only: the back buffer
// then has to keep everything else from the frames before, so such frames are shown by copying
// from the back buffer to the window (the back buffer stays as it is) instead of swapping.
#include <cstdint>

#include "platform/Types.h"

namespace platform {

// True when the surface can copy a rectangle of its back buffer to the window and keep the back
// buffer (X11: GLX_MESA_copy_sub_buffer), or swap telling the compositor the rectangle that
// changed and say how old each back buffer is (Wayland: EGL's buffer age and swap with damage).
// Call with the context current. Starts watching the window for exposure (PartialPresentState).
// Never true on Win32.
bool PartialPresentAvailable(DeviceContext dc);

// GL_RENDERER of the current context.
const char* RendererName();

// What the frame loop must know before it draws a partial frame.
struct PartialPresentState {
  int width = 0;   // the drawable's size as last reported, in pixels
  int height = 0;
  bool exposed = false;  // the window was exposed since the last call
  // How many frames old the back buffer is (FrameDamage::Input): 1 where it keeps the last frame
  // (X11's copy), the driver's buffer age on Wayland, 0 when unknown.
  int bufferAge = 1;
};
PartialPresentState TakePartialPresentState(DeviceContext dc);

// Shows the rectangle (x, y from the bottom left corner, in pixels) of the back buffer in the
// window, without waiting for the display; the back buffer keeps its contents (X11), or becomes
// the front one with only that rectangle damaged (Wayland). Counts as a swap
// (SwapCount) and obeys the same test seams, an empty rectangle too, which shows nothing.
void PresentRect(DeviceContext dc, int x, int y, int width, int height);

// Rectangles presented by this process so far, and the pixels they held.
std::uint64_t PartialPresentCount();
std::uint64_t PartialPresentPixels();

}  // namespace platform
