// The saver's close rules, fed event by event through the shell's default processing.
#include "host/DefScreenSaverProc.h"
#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "host/ShellSystem.h"

#include <gtest/gtest.h>

#include <climits>

using namespace shell;

namespace {

constexpr platform::WindowHandle Saver = 0x400001;

class FakeSystem : public ShellSystem {
 public:
  ScreenPoint cursor;
  std::uint8_t lineStatus = AcUnknown;
  int closes = 0;
  int cursorHides = 0;
  int defaults = 0;
  bool approveClose = true;

  ScreenPoint CursorPosition() override { return cursor; }
  void HideCursor() override { ++cursorHides; }
  std::uint8_t AcLineStatus() override { return lineStatus; }
  void PostMessage(platform::WindowHandle w, unsigned m, std::uintptr_t wp, std::intptr_t lp) override {
    EXPECT_EQ(w, Saver);
    EXPECT_EQ(m, WmClose);
    EXPECT_EQ(wp, 0u);
    EXPECT_EQ(lp, 0);
    ++closes;
  }
  void PostQuit(int) override {}
  std::intptr_t DefaultWindowProc(platform::WindowHandle, unsigned, std::uintptr_t,
                                  std::intptr_t) override {
    ++defaults;
    return 42;
  }
  void MinimizeWindow(platform::WindowHandle) override {}
  platform::WindowHandle ParentWindow(platform::WindowHandle) override { return 0; }
  bool IsWindow(platform::WindowHandle) override { return true; }
  bool VerifyBeforeClose(platform::WindowHandle) override { return approveClose; }
};

class CloseRules : public testing::Test {
 protected:
  void SetUp() override {
    shellState = ShellState{};
    shellSystem = &system;
  }
  void TearDown() override { shellSystem = nullptr; }

  // The number of closes the message posted.
  int Closes(unsigned message, std::uintptr_t wordParam = 0, std::intptr_t longParam = 0) {
    const int before = system.closes;
    DefScreenSaverProc(Saver, message, wordParam, longParam);
    return system.closes - before;
  }
  int MoveTo(int x, int y) {
    system.cursor = {x, y};
    return Closes(WmMouseMove, 0, 0x7FFF7FFF);  // the message's own coordinates are not used
  }

  FakeSystem system;
};

TEST_F(CloseRules, MovementSummedOverBothAxesAboveFourPixelsFromTheSavedCursor) {
  shellState.savedCursor = {100, 100};
  EXPECT_EQ(MoveTo(103, 101), 0);  // 3 right, 1 down: 4
  EXPECT_EQ(MoveTo(100, 96), 0);
  EXPECT_EQ(MoveTo(103, 102), 1);  // 3 right, 2 down: 5
  EXPECT_EQ(shellState.savedCursor.x, 103);
  EXPECT_EQ(shellState.savedCursor.y, 102);
  // Measured from the position of the last close by movement now.
  EXPECT_EQ(MoveTo(105, 104), 0);
  EXPECT_EQ(MoveTo(98, 100), 1);  // 5 left, 2 up
  EXPECT_EQ(shellState.savedCursor.x, 98);

  // Far-apart positions at the ends of the coordinate range still compare soundly.
  shellState.savedCursor = {INT32_MIN, INT32_MIN};
  EXPECT_EQ(MoveTo(INT32_MAX, INT32_MAX), 1);
  shellState.mouseThreshold = 0xFFFFFFFF;
  shellState.savedCursor = {INT32_MIN, INT32_MIN};
  EXPECT_EQ(MoveTo(INT32_MAX, INT32_MAX), 1);  // twice 2^32 - 1: beyond even this threshold
  EXPECT_EQ(system.defaults, 7);
}

TEST_F(CloseRules, KeysAndButtonsOneToThreeCloseButNotTheWheelOrReleases) {
  EXPECT_EQ(Closes(WmKeyDown, 'A'), 1);
  EXPECT_EQ(Closes(WmSysKeyDown, 18), 1);
  EXPECT_EQ(Closes(WmLButtonDown), 1);
  EXPECT_EQ(Closes(WmRButtonDown), 1);
  EXPECT_EQ(Closes(WmMButtonDown), 1);
  constexpr unsigned KeyUp = 257, LButtonUp = 514, RButtonUp = 517, MButtonUp = 520,
                     MouseWheel = 522, MouseHWheel = 526, XButtonDown = 523;
  for (unsigned m : {KeyUp, LButtonUp, RButtonUp, MButtonUp, MouseWheel, MouseHWheel, XButtonDown})
    EXPECT_EQ(Closes(m, 0x780000), 0) << m;
}

TEST_F(CloseRules, LossOfActivationCloses) {
  EXPECT_EQ(Closes(WmActivateApp, 1), 0);
  EXPECT_EQ(Closes(WmActivateApp, 0), 1);
}

TEST_F(CloseRules, EveryPowerEventClosesExceptAResumeFromFailure) {
  for (unsigned code = 0; code < 40; ++code) {
    if (code == PbtPowerStatusChange) continue;
    EXPECT_EQ(Closes(WmPowerBroadcast, code, 0), 1) << code;
    const bool resume = code == 6 || code == 7 || code == 8 || code == 18;
    EXPECT_EQ(Closes(WmPowerBroadcast, code, PbtResumeFromFailure), resume ? 0 : 1) << code;
    EXPECT_EQ(Closes(WmPowerBroadcast, code, 3), resume ? 0 : 1) << code;
    EXPECT_EQ(Closes(WmPowerBroadcast, code, 2), 1) << code;  // another bit is no failure
  }
  EXPECT_EQ(Closes(WmPower, PowerCriticalResume), 1);
  EXPECT_EQ(Closes(WmPower, 1), 0);
  EXPECT_EQ(Closes(WmPower, 4), 0);
}

TEST_F(CloseRules, StatusChangeClosesOnlyWhenTheAcLineStatusChanged) {
  shellState.lastLineStatus = AcOnLine;  // as read at the start
  system.lineStatus = AcOnLine;
  EXPECT_EQ(Closes(WmPowerBroadcast, PbtPowerStatusChange), 0);
  system.lineStatus = AcOffLine;
  EXPECT_EQ(Closes(WmPowerBroadcast, PbtPowerStatusChange), 1);
  EXPECT_EQ(shellState.lastLineStatus, AcOffLine);
  EXPECT_EQ(Closes(WmPowerBroadcast, PbtPowerStatusChange), 0);
  system.lineStatus = AcUnknown;  // a failed query counts as a change too
  EXPECT_EQ(Closes(WmPowerBroadcast, PbtPowerStatusChange), 1);
  EXPECT_EQ(Closes(WmPowerBroadcast, PbtPowerStatusChange), 0);
}

TEST_F(CloseRules, NothingClosesThePreview) {
  shellState.isPreview = true;
  shellState.lastLineStatus = AcOnLine;
  system.lineStatus = AcOffLine;
  system.cursor = {500, 500};
  for (unsigned m : {WmKeyDown, WmSysKeyDown, WmLButtonDown, WmRButtonDown, WmMButtonDown,
                     WmMouseMove, WmActivateApp, WmPower, WmShowWindow})
    EXPECT_EQ(Closes(m, m == WmPower ? PowerCriticalResume : 0), 0) << m;
  for (unsigned code = 0; code < 40; ++code) EXPECT_EQ(Closes(WmPowerBroadcast, code), 0);
  EXPECT_EQ(shellState.lastLineStatus, AcOnLine);
  // WM_SETCURSOR is the platform's there: the cursor stays.
  EXPECT_EQ(DefScreenSaverProc(Saver, WmSetCursor, 0, 0), 42);
  EXPECT_EQ(system.cursorHides, 0);
}

TEST_F(CloseRules, NoRuleWhileThePasswordIsAskedOrOnceTheCloseIsApproved) {
  shellState.isCheckingPassword = true;
  EXPECT_EQ(Closes(WmKeyDown), 0);
  EXPECT_EQ(Closes(WmPowerBroadcast, PbtSuspend), 0);
  shellState = ShellState{};
  shellState.isClosing = true;
  EXPECT_EQ(Closes(WmLButtonDown), 0);
  EXPECT_EQ(Closes(WmActivateApp, 0), 0);
}

TEST_F(CloseRules, CursorAndDefaultProcessing) {
  EXPECT_EQ(DefScreenSaverProc(Saver, WmSetCursor, Saver, 1), 1);  // answered here
  EXPECT_EQ(system.defaults, 0);
  EXPECT_EQ(system.cursorHides, 1);
  DefScreenSaverProc(Saver, WmShowWindow, 1, 0);
  DefScreenSaverProc(Saver, WmShowWindow, 0, 0);
  EXPECT_EQ(system.cursorHides, 2);
  // Everything else comes back from the platform's default processing unchanged.
  EXPECT_EQ(DefScreenSaverProc(Saver, WmClose, 0, 0), 42);
  EXPECT_EQ(DefScreenSaverProc(Saver, WmApp, 0, 0), 42);  // no password protocol here
  EXPECT_EQ(DefScreenSaverProc(Saver, 0x1234, 7, 8), 42);
  EXPECT_EQ(system.defaults, 5);
  EXPECT_EQ(system.closes, 0);
}

TEST_F(CloseRules, RefusedCloseRenewsTheSavedCursor) {
  shellState.isWin95Family = true;
  system.approveClose = false;
  system.cursor = {40, 50};
  EXPECT_EQ(DefScreenSaverProc(Saver, WmClose, 0, 0), 0);
  EXPECT_EQ(shellState.savedCursor.x, 40);
  EXPECT_EQ(shellState.savedCursor.y, 50);
  EXPECT_EQ(system.defaults, 0);
  EXPECT_EQ(DefScreenSaverProc(Saver, WmApp, 0, 0), 1);  // no verifier: the user may leave
  system.approveClose = true;
  EXPECT_EQ(DefScreenSaverProc(Saver, WmClose, 0, 0), 42);
}

TEST_F(CloseRules, AutoPlayQueryCloses) {
  shellState.autoPlayMessage = 0xC123;
  EXPECT_EQ(Closes(0xC123), 1);
  EXPECT_EQ(DefScreenSaverProc(Saver, 0xC123, 0, 0), 0);
  EXPECT_EQ(system.defaults, 0);
}

}  // namespace
