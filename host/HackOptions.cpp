// XScreenSaver's options for one run.
#include "base/SettingsStore.h"
#include "host/Shell.h"

// In memory only: nothing in a saver run writes the settings back.
void ApplyHackOptions(const HackOptions& options) {
  if (options.showFps) settingsStore.Set("EnableFPS", 1);
  if (options.noVSync) settingsStore.Set("EnableVSync", 0);
}
