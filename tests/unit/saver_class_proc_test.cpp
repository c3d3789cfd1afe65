// The saver class's procedure, message by message over a fake window system: what it answers
// itself, what it asks of the system, and what it forwards to the saver's own procedure.
#include "host/SaverClassProc.h"

#include <gtest/gtest.h>

#include <string>

#include "host/ScreenSaverProc.h"
#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "host/ShellSystem.h"

using namespace shell;

namespace {

constexpr platform::WindowHandle Saver = 0x400001;
constexpr platform::WindowHandle Parent = 0x500002;
constexpr std::intptr_t Forwarded = 0x5EED;  // the saver procedure's answer
constexpr std::intptr_t Default = 42;        // the platform's default procedure's

// What happened, in order: "a; b; c".
std::string events;
void Event(const std::string& e) { events += (events.empty() ? "" : "; ") + e; }

std::string Name(std::uintptr_t w) {
  return w == Saver ? "saver" : w == Parent ? "parent" : std::to_string(w);
}

struct Call {
  platform::WindowHandle window;
  unsigned message;
  std::uintptr_t wordParam;
  std::intptr_t longParam;
};
Call forwarded;

class FakeSystem : public ShellSystem {
 public:
  ScreenPoint cursor{321, -45};
  platform::WindowHandle parent = Parent;
  bool parentAlive = true;

  ScreenPoint CursorPosition() override { return cursor; }
  void HideCursor() override { Event("hide"); }
  std::uint8_t AcLineStatus() override { return AcUnknown; }
  void PostMessage(platform::WindowHandle w, unsigned m, std::uintptr_t wp,
                   std::intptr_t lp) override {
    Event("post " + Name(w) + " " + std::to_string(m) + " " + Name(wp) + " " + std::to_string(lp));
  }
  void PostQuit(int code) override { Event("quit " + std::to_string(code)); }
  std::intptr_t DefaultWindowProc(platform::WindowHandle, unsigned, std::uintptr_t,
                                  std::intptr_t) override {
    Event("default");
    return Default;
  }
  void MinimizeWindow(platform::WindowHandle) override { Event("minimise"); }
  platform::WindowHandle ParentWindow(platform::WindowHandle) override { return parent; }
  bool IsWindow(platform::WindowHandle w) override { return w == Parent && parentAlive; }
  void OnWindowCreated(platform::WindowHandle) override { Event("created"); }
  void OnWindowDestroyed(platform::WindowHandle) override { Event("destroyed"); }
  void YieldTimeSlice() override { Event("yield"); }
};

enum Mode { FullScreen, Preview, Closing, PreviewWithoutParent, PreviewWithParentGone };

struct Row {
  Mode mode;
  unsigned message;
  std::uintptr_t wordParam;
  std::intptr_t longParam;
  const char* events;
  std::intptr_t result;
};

const Row rows[] = {
    // The title never changes.
    {FullScreen, WmSetText, 0, 77, "", 0},
    {Preview, WmSetText, 0, 77, "", 0},
    // System commands: no window switching and no second saver in the full screen; the monitor
    // powering down closes it. The low four bits of the command are the platform's own.
    {FullScreen, WmSysCommand, ScNextWindow, 0, "", 0},
    {FullScreen, WmSysCommand, ScPrevWindow, 0, "", 0},
    {FullScreen, WmSysCommand, ScScreenSave, 0, "", 0},
    {FullScreen, WmSysCommand, ScScreenSave | 3, 0, "", 0},
    {FullScreen, WmSysCommand, ScMonitorPower, 2, "post saver 16 0 0; forward", Forwarded},
    {FullScreen, WmSysCommand, ScMonitorPower | 1, 2, "post saver 16 0 0; forward", Forwarded},
    {FullScreen, WmSysCommand, 0xF060, 0, "forward", Forwarded},
    {Preview, WmSysCommand, ScScreenSave, 0, "forward", Forwarded},
    {Preview, WmSysCommand, ScMonitorPower, 2, "forward", Forwarded},
    // Help and the context menu belong to the preview's host, answered here either way.
    {Preview, WmHelp, 5, 77, "post parent 83 parent 77", 1},
    {Preview, WmContextMenu, Saver, 77, "post parent 123 parent 77", 1},
    {PreviewWithoutParent, WmHelp, 5, 77, "", 1},
    {PreviewWithParentGone, WmContextMenu, Saver, 77, "", 1},
    {FullScreen, WmHelp, 5, 77, "forward", Forwarded},
    {FullScreen, WmContextMenu, Saver, 77, "forward", Forwarded},
    // Once the close is approved, timers and input no longer reach the saver.
    {FullScreen, WmTimer, 1, 0, "yield; forward", Forwarded},
    {Closing, WmTimer, 1, 0, "", 0},
    {FullScreen, WmKeyDown, 'A', 0, "forward", Forwarded},
    {Closing, WmKeyDown, 'A', 0, "default", Default},
    {Closing, WmSysKeyDown, 18, 0, "default", Default},
    {Closing, WmMouseMove, 0, 0x00100010, "default", Default},
    {Closing, WmLButtonDown, 1, 0, "default", Default},
    {Closing, WmRButtonDown, 2, 0, "default", Default},
    {Closing, WmMButtonDown, 16, 0, "default", Default},
    // Painting keeps the full screen's cursor hidden.
    {FullScreen, WmPaint, 0, 0, "hide; forward", Forwarded},
    {Preview, WmPaint, 0, 0, "forward", Forwarded},
    {Closing, WmPaint, 0, 0, "default", Default},
    // Creation records the cursor (checked below) and hides it in the full screen; destruction
    // ends the message loop.
    {FullScreen, WmCreate, 0, 0x1000, "created; hide; forward", Forwarded},
    {Preview, WmCreate, 0, 0x1000, "created; forward", Forwarded},
    {FullScreen, WmDestroy, 0, 0, "destroyed; quit 0; forward", Forwarded},
    {Preview, WmDestroy, 0, 0, "destroyed; quit 0; forward", Forwarded},
    // Everything else goes to the saver unchanged.
    {FullScreen, WmClose, 0, 0, "forward", Forwarded},
    {Closing, WmClose, 0, 0, "forward", Forwarded},
    {FullScreen, WmUser, 1, 0, "forward", Forwarded},
    {Preview, WmKeyDown, 'A', 0, "forward", Forwarded},
    {FullScreen, 0xC123, 7, -8, "forward", Forwarded},
};

TEST(SaverClassProc, AnswersFiltersAndForwardsEachMessage) {
  for (const Row& r : rows) {
    FakeSystem system;
    shellSystem = &system;
    shellState = ShellState{};
    shellState.isPreview = r.mode != FullScreen && r.mode != Closing;
    shellState.isClosing = r.mode == Closing;
    if (r.mode == PreviewWithoutParent) system.parent = 0;
    system.parentAlive = r.mode != PreviewWithParentGone;
    events.clear();
    forwarded = {};
    const std::string label = "mode " + std::to_string(r.mode) + ", message " +
                              std::to_string(r.message) + ", word " + std::to_string(r.wordParam);

    EXPECT_EQ(SaverClassProc(Saver, r.message, r.wordParam, r.longParam), r.result) << label;
    EXPECT_EQ(events, r.events) << label;
    if (events.find("forward") != std::string::npos) {
      EXPECT_EQ(forwarded.window, Saver) << label;
      EXPECT_EQ(forwarded.message, r.message) << label;
      EXPECT_EQ(forwarded.wordParam, r.wordParam) << label;
      EXPECT_EQ(forwarded.longParam, r.longParam) << label;
    }
    const bool cursorRecorded = shellState.savedCursor.x == 321 && shellState.savedCursor.y == -45;
    EXPECT_EQ(cursorRecorded, r.message == WmCreate) << label;
  }
  shellSystem = nullptr;
}

}  // namespace

// Stands in for the saver's own procedure: the library's is not linked into this test, which
// sees exactly what the class procedure forwards.
std::intptr_t ScreenSaverProc(platform::WindowHandle window, unsigned message,
                              std::uintptr_t wordParam, std::intptr_t longParam) {
  forwarded = {window, message, wordParam, longParam};
  Event("forward");
  return Forwarded;
}
