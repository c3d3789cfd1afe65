#pragma once
// The window systems a Linux build carries, as one table. Each backend folder defines one entry
// (`platform::<name>::windowSystem`); the build lists them, preferred first, and the program
// picks one per kind of window from here, running its process set-up before anything it does
// talks to its display. Nothing outside a backend's folder names a backend.
#include <span>
#include <string>

#include "host/Shell.h"
#include "platform/linux/SurfaceBackend.h"

namespace platform {

// What a mode asks of the window system.
enum class WindowNeed {
  FullScreen,  // cover every screen (the saver's own full-screen mode)
  Windows,     // windows named by id: a preview's host, XScreenSaver's window, a dialog's owner
};

// What the saver's own code hands the window system, so that the backend never calls up into it.
struct SaverHooks {
  void (*restartFlight)() = nullptr;  // a locker's reset (XScreenSaver's SIGUSR1)
  void (*applyHackOptions)(const HackOptions&) = nullptr;  // as a hack mode starts
};

struct WindowSystem {
  const char* name;   // "x11": `--x11` on the command line prefers it
  bool fullScreen;    // can serve WindowNeed::FullScreen
  bool windows;       // can serve WindowNeed::Windows
  // True when its display can be reached from here. Runs before prepareProcess, so it may use
  // the display's library only where that needs no set-up (Xlib wants XInitThreads first:
  // X11's probe only reads $DISPLAY).
  bool (*probe)();
  // Once per process, before its first call to its display; later calls do nothing.
  void (*prepareProcess)();
  const SurfaceBackend& (*surface)();
  // Its shell modes, made on first use with the hooks of that use.
  ShellModes& (*modes)(const SaverHooks& hooks);
  // Where the probe fails: why, for the user ("the Wayland compositor offers no ..."); empty or
  // absent where the system says it itself when it runs.
  std::string (*unavailable)() = nullptr;
};

// This build's window systems, preferred first (a list written by the build).
std::span<const WindowSystem* const> WindowSystems();

// Takes each `--<name>` naming one of table's window systems out of argv (the last one given wins) and
// returns that system's name; nullptr without one. argv stays terminated by a null pointer.
const char* TakeWindowSystemFlag(std::span<const WindowSystem* const> table, int& argc,
                                 char** argv);

// The entry of table that serves need: the preferred one (by name) where it serves it, else the
// first whose probe succeeds, else the last that serves it (it says itself why it cannot run).
// nullptr when none serves it. Pure: probes, but prepares nothing.
const WindowSystem* ChooseWindowSystem(std::span<const WindowSystem* const> table,
                                       WindowNeed need, const char* preferred);

// What the user is told when the choice fell back to chosen although its display does not
// answer: one line ("velmora: ...\n") for each other system of table that serves need and says
// why it cannot; empty when chosen's probe answers.
std::string WhyOthersCannot(std::span<const WindowSystem* const> table, WindowNeed need,
                            const WindowSystem* chosen);

// ChooseWindowSystem over this build's table, the choice made the one in use (its process set-up
// run, its surface the one GlSurface.h draws through).
const WindowSystem* SelectWindowSystem(WindowNeed need, const char* preferred = nullptr);

// The Linux program's modes: each goes to the window system chosen for it; the settings dialog
// needs none.
class LinuxShellModes : public ShellModes {
 public:
  LinuxShellModes(const char* preferred, const SaverHooks& hooks)
      : preferred(preferred), hooks(hooks) {}
  bool IsWindow(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  int RunSaverWindow(WindowHandle parent) override;
  int RunSettingsDialog(WindowHandle parent) override;
  void ChangeSaverPassword(WindowHandle) override {}
  int RunOnRoot(const HackOptions& options) override;
  int RunOnWindow(WindowHandle window, const HackOptions& options) override;
  void ShowHackUsage() override;

 private:
  ShellModes* For(WindowNeed need);
  const char* preferred;
  SaverHooks hooks;
};

}  // namespace platform
