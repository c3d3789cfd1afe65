// Choosing the window system: one table, one choice per kind of window.
#include <cstdio>
#include <cstring>

#include "host/SettingsDialog.h"
#include "platform/linux/EndSignals.h"
#include "platform/linux/WindowSystem.h"

namespace platform {
namespace {

bool Serves(const WindowSystem& system, WindowNeed need) {
  return need == WindowNeed::FullScreen ? system.fullScreen : system.windows;
}

}  // namespace

const char* TakeWindowSystemFlag(std::span<const WindowSystem* const> table, int& argc,
                                 char** argv) {
  const char* chosen = nullptr;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const WindowSystem* named = nullptr;
    if (std::strncmp(argv[i], "--", 2) == 0)
      for (const WindowSystem* system : table)
        if (std::strcmp(argv[i] + 2, system->name) == 0) named = system;
    if (named)
      chosen = named->name;
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  argv[argc] = nullptr;
  return chosen;
}

const WindowSystem* ChooseWindowSystem(std::span<const WindowSystem* const> table,
                                       WindowNeed need, const char* preferred) {
  const WindowSystem* last = nullptr;
  for (const WindowSystem* system : table) {
    if (!Serves(*system, need)) continue;
    if (preferred && std::strcmp(system->name, preferred) == 0) return system;
    last = system;
  }
  for (const WindowSystem* system : table)
    if (Serves(*system, need) && system->probe()) return system;
  return last;
}

std::string WhyOthersCannot(std::span<const WindowSystem* const> table, WindowNeed need,
                            const WindowSystem* chosen) {
  std::string lines;
  if (chosen == nullptr || chosen->probe()) return lines;
  for (const WindowSystem* system : table) {
    if (system == chosen || !Serves(*system, need) || system->unavailable == nullptr) continue;
    const std::string why = system->unavailable();
    if (!why.empty()) lines += "velmora: " + why + "\n";
  }
  return lines;
}

const WindowSystem* SelectWindowSystem(WindowNeed need, const char* preferred) {
  const WindowSystem* system = ChooseWindowSystem(WindowSystems(), need, preferred);
  // A system picked by name says itself why it cannot run; one picked as the last resort is
  // preceded by why every other could not (once: the choice is asked again per mode).
  static bool told = false;
  if (!told && need == WindowNeed::FullScreen && system &&
      (preferred == nullptr || std::strcmp(system->name, preferred) != 0)) {
    told = true;
    std::fputs(WhyOthersCannot(WindowSystems(), need, system).c_str(), stderr);
  }
  if (system) {
    system->prepareProcess();
    UseSurfaceBackend(system->surface());
  }
  return system;
}

ShellModes* LinuxShellModes::For(WindowNeed need) {
  const WindowSystem* system = SelectWindowSystem(need, preferred);
  return system ? &system->modes(hooks) : nullptr;
}

bool LinuxShellModes::IsWindow(WindowHandle window) {
  ShellModes* modes = For(WindowNeed::Windows);
  return modes && modes->IsWindow(window);
}

WindowHandle LinuxShellModes::ForegroundWindow() {
  ShellModes* modes = For(WindowNeed::Windows);
  return modes ? modes->ForegroundWindow() : 0;
}

int LinuxShellModes::RunSaverWindow(WindowHandle parent) {
  ShellModes* modes = For(parent == 0 ? WindowNeed::FullScreen : WindowNeed::Windows);
  if (modes == nullptr) {
    std::fprintf(stderr, "velmora: this build has no window system for a %s\n",
                 parent == 0 ? "full-screen saver" : "preview");
    return -1;
  }
  return modes->RunSaverWindow(parent);
}

int LinuxShellModes::RunSettingsDialog(WindowHandle parent) {
  ReleaseEndSignals();  // the dialog ends on a signal as any program does
  return ::RunSettingsDialog(parent);
}

int LinuxShellModes::RunOnRoot(const HackOptions& options) {
  ShellModes* modes = For(WindowNeed::Windows);
  if (modes == nullptr) {
    std::fprintf(stderr, "velmora: this build has no window system for --root\n");
    return -1;
  }
  return modes->RunOnRoot(options);
}

int LinuxShellModes::RunOnWindow(WindowHandle window, const HackOptions& options) {
  ShellModes* modes = For(WindowNeed::Windows);
  return modes ? modes->RunOnWindow(window, options) : -1;
}

void LinuxShellModes::ShowHackUsage() { std::fprintf(stderr, "%s\n", HackUsage); }

}  // namespace platform
