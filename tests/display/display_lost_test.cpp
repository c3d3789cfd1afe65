// The X server going away under a running saver: the process ends at once and quietly (exit
// status 1, no signal, no core), from whichever of its two connections notices first. It kills
// the test's own Xvfb, so it lives alone in this executable.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/GlSurface.h"
#include "platform/GlSurfaceFaults.h"
#include "platform/RenderThread.h"
#include "platform/x11/X11Errors.h"
#include "render/RenderThread.h"
#include "support/TestWindow.h"

namespace {

int lostPipe = -1;

void SayDisplayLost() {
  const char word = 'L';
  [[maybe_unused]] ssize_t n = write(lostPipe, &word, 1);
}

TEST(DisplayLost, TheSaverEndsAtOnceWithStatusOneWhenTheServerDies) {
  const char* server = std::getenv("VELMORA_XVFB_PID");
  if (server == nullptr) GTEST_SKIP() << "needs tests/with-xvfb";
  int ready[2], lost[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(lost), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    lostPipe = lost[1];
    platform::x11::SetDisplayLostHandler(SayDisplayLost);
    TestWindow window(64, 48);
    if (!window.Ok() || !platform::StartRenderThread(RenderThreadProc, window.Handle())) _exit(3);
    while (platform::SwapCount() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const char word = 'R';
    [[maybe_unused]] ssize_t n = write(ready[1], &word, 1);
    // Like the shell's loop: wait on the window's connection.
    TestWindow::Message message;
    for (;;) window.WaitForMessage(message, 60000);
  }
  close(ready[1]);
  close(lost[1]);
  char word = 0;
  ASSERT_EQ(read(ready[0], &word, 1), 1);
  ASSERT_EQ(kill(static_cast<pid_t>(std::atol(server)), SIGKILL), 0);

  int status = 0;
  pid_t ended = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((ended = waitpid(child, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (ended == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the saver did not end after the server died";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(read(lost[0], &word, 1), 1) << "the display-lost handler did not run";
  EXPECT_EQ(word, 'L');
}

}  // namespace
