#pragma once
// The command-line modes of the Linux program: X11's, with the full-screen saver drawn natively
// on a Wayland compositor that offers layer-shell. `--wayland` and `--x11` force one of them.
#include "platform/x11/X11ShellModes.h"

namespace platform {

enum class WindowSystem { Choose, Wayland, X11 };

// Takes the words --wayland and --x11 out of argv (the last one given wins); Choose without.
WindowSystem TakeWindowSystemFlag(int& argc, char** argv);

class WaylandShellModes : public X11ShellModes {
 public:
  explicit WaylandShellModes(WindowSystem system) : system(system) {}
  // Full screen (parent 0) goes to Wayland when forced, or when WAYLAND_DISPLAY is set and the
  // compositor offers layer-shell; everything else stays X11 (XWayland on a Wayland desktop).
  int RunSaverWindow(WindowHandle parent) override;

 private:
  WindowSystem system;
};

}  // namespace platform
