// The Linux saver loop without a display: a pipe stands in for the window system's connection,
// and a recording procedure for the saver's class procedure, closing as the close rules would.
#ifndef _WIN32  // the Linux program's
#include "platform/linux/SaverLoop.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

#include "host/ShellMessages.h"
#include "platform/linux/EndSignals.h"

using namespace shell;
using platform::SaverLoop;
using platform::WindowHandle;

namespace {

constexpr WindowHandle Handle = 7;

// A connection whose events are bytes: each one read is a key press of that code.
class PipeSource : public SaverLoop::Source {
 public:
  PipeSource() { EXPECT_EQ(pipe(fds), 0); }
  ~PipeSource() override {
    close(fds[0]);
    close(fds[1]);
  }
  void Send(char key) { ASSERT_EQ(write(fds[1], &key, 1), 1); }

  WindowHandle Handle() override { return ::Handle; }
  int EventFd() override { return fds[0]; }
  void PrepareRead(SaverLoop&) override {}
  void Read(SaverLoop& loop, short revents) override {
    char key = 0;
    if ((revents & POLLIN) && read(fds[0], &key, 1) == 1) loop.Dispatch(WmKeyDown, key, 0);
  }
  bool DestroyWindow() override { return ++destroyed == 1; }
  ScreenPoint CursorPosition() override { return {}; }
  void MinimizeWindow() override {}
  bool IsWindow(WindowHandle window) override { return window == ::Handle; }

  int fds[2] = {-1, -1};
  int destroyed = 0;
};

struct Seen {
  unsigned message;
  std::uintptr_t wordParam;
  bool operator==(const Seen&) const = default;
};

SaverLoop* loop = nullptr;
std::vector<Seen> seen;
bool restarted = false;

// A key, the AC line's news and a failed start each ask for a close; the close destroys the
// window, its end quits.
std::intptr_t Proc(WindowHandle window, unsigned message, std::uintptr_t wordParam, std::intptr_t) {
  EXPECT_EQ(window, Handle);
  seen.push_back({message, wordParam});
  if (message == WmKeyDown || message == WmPowerBroadcast || message == WmUser)
    loop->PostMessage(window, WmClose, 0, 0);
  if (message == WmClose) loop->DefaultWindowProc(window, message, 0, 0);
  if (message == WmDestroy) loop->PostQuit(0);
  return 0;
}

struct Case {
  const char* what;
  bool closeRules;
  bool watchPower;
  void (*stimulus)(PipeSource& source);
  std::vector<Seen> expected;
  int code;
  bool restarted;
};

TEST(SaverLoop, TurnsEverySourceIntoTheShellsMessagesAndClosesOnce) {
  platform::CatchEndSignals();
  platform::CatchResetSignal();
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velmora-test", 1);
  const Seen create{WmCreate, 0}, close{WmClose, 0}, destroy{WmDestroy, 0};
  const Case cases[] = {
      {"an event of the connection", true, false, [](PipeSource& s) { s.Send(42); },
       {create, {WmKeyDown, 42}, close, destroy}, 0, false},
      // Woken by the post; the second close finds the loop ended.
      {"closes posted by another thread", true, false,
       [](PipeSource&) {
         std::thread([] {
           loop->Post(WmClose, 0, 0);
           loop->Post(WmClose, 0, 0);
         }).join();
       },
       {create, close, destroy}, 0, false},
      {"an end signal", true, false, [](PipeSource&) { std::raise(SIGTERM); },
       {create, close, destroy}, 0, false},
      // Only the reset hook closes here: the signal itself must not.
      {"a reset signal", false, false, [](PipeSource&) { std::raise(SIGUSR1); },
       {create, close, destroy}, 0, true},
      {"a failed start without close rules", false, false,
       [](PipeSource&) { loop->Post(RenderStartFailedMessage, 3, 0); },
       {create, close, destroy}, -1, false},
      {"a failed start with close rules", true, false,
       [](PipeSource&) { loop->Post(RenderStartFailedMessage, 3, 0); },
       {create, {WmUser, 3}, close, destroy}, 0, false},
      {"the AC line's poll", true, true, [](PipeSource&) {},
       {create, {WmPowerBroadcast, PbtPowerStatusChange}, close, destroy}, 0, false},
  };
  for (const Case& c : cases) {
    PipeSource source;
    SaverLoop::Options options;
    options.closeRules = c.closeRules;
    options.watchPower = c.watchPower;
    options.acPollMs = 10;
    options.proc = Proc;
    options.restartFlight = [] {
      restarted = true;
      loop->Post(WmClose, 0, 0);
    };
    SaverLoop run(source, options);
    loop = &run;
    seen.clear();
    restarted = false;
    c.stimulus(source);
    EXPECT_EQ(run.Run(), c.code) << c.what;
    EXPECT_EQ(seen, c.expected) << c.what;
    EXPECT_EQ(restarted, c.restarted) << c.what;
    EXPECT_EQ(source.destroyed, 1) << c.what;
    // Nothing is left for the next case: the signals were taken.
    EXPECT_FALSE(platform::TakeEndSignals()) << c.what;
    EXPECT_FALSE(platform::TakeResetSignals()) << c.what;
  }
}

}  // namespace

#endif  // _WIN32
