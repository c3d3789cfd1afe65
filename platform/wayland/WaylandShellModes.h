#pragma once
// The command-line modes Wayland carries out: the full-screen saver, on a compositor that offers
// layer-shell or xdg-shell. Windows named by id (a preview's host, XScreenSaver's) are another
// window system's.
#include "host/Shell.h"

namespace platform::wayland {

class WaylandShellModes : public ShellModes {
 public:
  bool IsWindow(WindowHandle) override { return false; }
  WindowHandle ForegroundWindow() override { return 0; }
  int RunSaverWindow(WindowHandle parent) override;
  int RunSettingsDialog(WindowHandle) override { return -1; }
  void ChangeSaverPassword(WindowHandle) override {}
  int RunOnRoot(const HackOptions&) override { return -1; }
  int RunOnWindow(WindowHandle, const HackOptions&) override { return -1; }
};

}  // namespace platform::wayland
