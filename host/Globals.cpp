// The process's global objects. They live in this one file because C++ builds globals of one
// translation unit in the order they are written, and the saver relies on that order:
//   the settings store (loads the stored values at once), the ribbon, the flight controller (it
//   resets the ribbon and draws its first target before the generator is seeded), the frame-rate
//   counter, and last the log (it truncates the log file and writes its first line).
// The surface table, the model data, the defaults table and the generator's default state are
// constant data, complete before any of these is built.
#include "base/AppLog.h"
#include "base/SettingsStore.h"
#include "creature/FlightController.h"
#include "host/ShellState.h"
#include "host/ShellSystem.h"
#include "creature/Ribbon.h"
#include "render/FpsCounter.h"
#include "render/VideoInit.h"

SettingsStore settingsStore("Velmora Screen Saver", DefaultSettings);

Ribbon ribbon;
FlightController flightController(ribbon);
FpsCounter fpsCounter;

AppLog appLog;

// Constant-initialised: complete before anything above runs.
ShellState shellState;
ShellSystem* shellSystem = nullptr;
// No handles until the render thread creates them.
VideoContext videoContext;
