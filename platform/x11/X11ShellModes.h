#pragma once
// The command-line modes carried out on X11.
#include "host/Shell.h"

namespace platform {

class X11ShellModes : public ShellModes {
 public:
  bool IsWindow(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  int RunSaverWindow(WindowHandle parent) override;
  int RunSettingsDialog(WindowHandle parent) override;
  void ChangeSaverPassword(WindowHandle) override {}
  int RunOnRoot(const HackOptions& options) override;
  int RunOnWindow(WindowHandle window, const HackOptions& options) override;
  void ShowHackUsage() override;
};

}  // namespace platform
