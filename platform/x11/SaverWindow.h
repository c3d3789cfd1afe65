#pragma once
// The saver's X windows: the full-screen window over the root window, the preview child, and the
// window of another program (XScreenSaver) that the saver only draws on.
#include <X11/Xlib.h>

namespace platform {

struct SaverWindow {
  Window window = 0;
  Window parent = 0;     // the preview's parent, else 0
  bool own = false;      // created by the saver (not XScreenSaver's or the root window)
  bool fullScreen = false;
  bool desktop = false;  // the background window under a compositing manager
  Cursor invisibleCursor = 0;
};

// A top-level window of class "WindowsScreenSaverClass" titled "Screen Saver", or 0.
Window FindRunningSaver(Display* display);

// The window a desktop shows as its background, named by the __SWM_VROOT property of one of
// the root window's children; the root window itself when there is none.
Window VirtualRoot(Display* display);

// Whether a compositing manager runs on the default screen (an owner of _NET_WM_CM_Sn).
bool CompositingManagerRuns(Display* display);

// Each returns a window of 0 when it cannot be created.
SaverWindow CreateFullScreenWindow(Display* display);
// The desktop's background under a compositing manager, which paints the root window's own
// picture over every window: a window of type _NET_WM_WINDOW_TYPE_DESKTOP over the whole screen,
// below every other window, taking no input.
SaverWindow CreateDesktopWindow(Display* display);
SaverWindow CreatePreviewWindow(Display* display, Window parent);
SaverWindow AdoptWindow(Display* display, Window window);

// Takes the keyboard and the pointer before the screen is covered, retrying while another
// client holds them (an open menu, a password prompt) for up to waitMs; false, holding
// neither, when they could not be had: keys typed at a covered screen would go to that client.
bool TakeInput(Display* display, unsigned waitMs);

// Keyboard and pointer to the saver; false when the server refused either (not fatal).
bool GrabInput(Display* display, const SaverWindow& saver);
void ReleaseInput(Display* display);

}  // namespace platform
