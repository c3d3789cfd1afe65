#pragma once
// The command-line modes carried out on X11.
#include "host/Shell.h"
#include "platform/linux/WindowSystem.h"

namespace platform {

class X11ShellModes : public ShellModes {
 public:
  explicit X11ShellModes(const SaverHooks& hooks = {}) : hooks(hooks) {}
  bool IsWindow(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  int RunSaverWindow(WindowHandle parent) override;
  int RunSettingsDialog(WindowHandle parent) override;
  void ChangeSaverPassword(WindowHandle) override {}
  int RunOnRoot(const HackOptions& options) override;
  int RunOnWindow(WindowHandle window, const HackOptions& options) override;

 private:
  SaverHooks hooks;
};

}  // namespace platform
