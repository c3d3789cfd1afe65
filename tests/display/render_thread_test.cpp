// The render thread on a real window under Xvfb: its start-up lines, its frames, the swap
// interval it hands over, stopping on request (waiting out a stuck frame), and every way its
// start can fail.
#include "render/RenderThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "base/AppLog.h"
#include "base/SettingsStore.h"
#include "platform/GlSurface.h"
#include "platform/GlSurfaceFaults.h"
#include "platform/PartialPresent.h"
#include "platform/RenderThread.h"
#include "render/VideoInit.h"
#include "support/TestWindow.h"

namespace {

using namespace std::chrono_literals;

const std::string N = "   Notify : ";
const std::string E = "(!)Error : ";

std::vector<std::string> LogLines() {
  std::vector<std::string> lines;
  std::ifstream file(LogPathForModule());
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

class RenderThreadTest : public testing::Test {
 protected:
  void SetUp() override {
    logStart_ = LogLines().size();
    settingsStore.Set("EnableFPS", 0);
    settingsStore.Set("EnableVSync", 1);
  }

  void TearDown() override {
    Close(0);
    platform::SetGlSurfaceFaults({});
    platform::SetPresentFaults({});
    SetFollowWindowSize(false);
  }

  // The lines written since the test began.
  std::vector<std::string> NewLogLines() const {
    std::vector<std::string> lines = LogLines();
    return {lines.begin() + static_cast<long>(std::min(logStart_, lines.size())), lines.end()};
  }

  // What the saver window does on close: stop and join, then release both handles.
  static void Close(platform::WindowHandle window) {
    platform::StopRenderThread();
    const platform::DeviceContext dc = videoContext.deviceContext.exchange(nullptr);
    if (platform::GlContext gl = videoContext.glContext.exchange(nullptr))
      platform::DeleteGlContext(dc, gl);
    if (dc != nullptr) platform::ReleaseDeviceContext(window, dc);
  }

  static bool WaitForSwaps(std::uint64_t count) {
    const std::uint64_t from = platform::SwapCount();
    return WaitFor([&] { return platform::SwapCount() >= from + count; });
  }

  // Starts on `window`, expects the start to fail, and returns the log lines it wrote.
  std::vector<std::string> FailedStart(TestWindow& window) {
    EXPECT_TRUE(platform::StartRenderThread(RenderThreadProc, window.Handle()));
    TestWindow::Message message;
    EXPECT_TRUE(window.WaitForMessage(message, 10000));
    EXPECT_EQ(message.message, 1024u);
    EXPECT_EQ(message.wordParam, 1u);
    EXPECT_STREQ(appLog.UserMessage(), "Error of scene initialization");
    Close(window.Handle());
    return NewLogLines();
  }

  std::size_t logStart_ = 0;
};

TEST_F(RenderThreadTest, StartsInOrderSwapsFramesAndStopsOnRequest) {
  settingsStore.Set("EnableVSync", 0);
  TestWindow window(320, 240);
  ASSERT_TRUE(window.Ok());
  ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, window.Handle()));
  ASSERT_TRUE(WaitForSwaps(5));
  // A second thread is refused while the first runs.
  EXPECT_FALSE(platform::StartRenderThread(RenderThreadProc, window.Handle()));

  const std::vector<std::string> expected = {
      N + "Start common initialization",
      N + "Context for OpenGL has been created",
      N + "GLEW initialized",
      N + "OpenGL 2.0 is found",
      N + "WGLEW_EXT_swap_control extension is found",
      N + "VSYNC has been setted properly",
      N + "Video initialization has finished successfully",
      N + "Start scene initialization",
  };
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_GE(lines.size(), expected.size() + 1);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
  // Scene initialisation's own lines come in between.
  EXPECT_EQ(lines.back(), N + "Scene has been initialized successfully");
  EXPECT_EQ(platform::LastSwapInterval(), 0);
  EXPECT_NE(window.ScreenPixel(160, 120), 0xffffff) << "nothing was drawn over the window";

  platform::StopRenderThread();
  const std::uint64_t swapsAtStop = platform::SwapCount();
  Close(window.Handle());
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(platform::SwapCount(), swapsAtStop) << "a frame was drawn after the release";
  EXPECT_EQ(NewLogLines(), lines) << "the frame loop wrote to the log";

  // Stopped means ended: a new thread may start and runs as before.
  ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, window.Handle()));
  EXPECT_TRUE(WaitForSwaps(3));
  Close(window.Handle());  // before the window goes, as the saver closes
}

// On this server's software renderer with the copy extension frames are shown only where they
// changed, paced or not; without the extension, or on a graphics card, every frame is drawn and
// swapped whole as it always was. Either way the window shows the picture, ground and all.
TEST_F(RenderThreadTest, ShowsOnlyWhatChangedOnlyWhereTheProcessorDrawsAndCanCopy) {
  const struct {
    platform::PresentFaults faults;
    int vsync;
    bool partial;
  } cases[] = {
      {{}, 0, true},
      {{}, 1, true},
      {{.hideCopySubBuffer = true}, 0, false},
      {{.hardwareRenderer = true}, 1, false},
  };
  TestWindow window(320, 240);
  ASSERT_TRUE(window.Ok());
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "vsync " << c.vsync << ", partial " << c.partial);
    platform::SetPresentFaults(c.faults);
    settingsStore.Set("EnableVSync", c.vsync);
    const std::uint64_t copies = platform::PartialPresentCount();
    const std::uint64_t pixels = platform::PartialPresentPixels();
    ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, window.Handle()));
    ASSERT_TRUE(WaitForSwaps(30));
    platform::StopRenderThread();
    const std::uint64_t copied = platform::PartialPresentCount() - copies;
    if (c.partial) {
      EXPECT_GE(copied, 30u);
      // The first frame is whole; most of the rest are a small part of the window.
      EXPECT_LT(platform::PartialPresentPixels() - pixels, copied * 320 * 240 / 2);
    } else {
      EXPECT_EQ(copied, 0u);
    }
    EXPECT_EQ(window.ScreenPixel(4, 120), 0x1a3333) << "the ground is not shown";
    Close(window.Handle());
  }
}

TEST_F(RenderThreadTest, AStopWaitsForAFrameStuckInTheDriverBeforeTheContextsGo) {
  TestWindow window(64, 48);
  ASSERT_TRUE(window.Ok());
  ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, window.Handle()));
  ASSERT_TRUE(WaitForSwaps(2));
  platform::SetGlSurfaceFaults({.stallSwap = true});
  ASSERT_TRUE(WaitFor(platform::SwapStalled));
  std::future<bool> stop = std::async(std::launch::async, platform::StopRenderThread);
  EXPECT_EQ(stop.wait_for(300ms), std::future_status::timeout) << "gave up on a running thread";
  platform::SetGlSurfaceFaults({});
  EXPECT_TRUE(stop.get());
  Close(window.Handle());
}

TEST_F(RenderThreadTest, HandsTheDriverTheStoredSwapIntervalHeldBetweenZeroAndFour) {
  TestWindow window(64, 48);
  ASSERT_TRUE(window.Ok());
  const struct {
    int stored, handed;
  } cases[] = {{1, 1}, {2, 2}, {4, 4}, {5, 4}, {2147483647, 4}, {0, 0}, {-3, 0}, {-2147483647 - 1, 0}};
  for (const auto& c : cases) {
    settingsStore.Set("EnableVSync", c.stored);
    ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, window.Handle()));
    ASSERT_TRUE(WaitForSwaps(2)) << c.stored;
    Close(window.Handle());
    EXPECT_EQ(platform::LastSwapInterval(), c.handed) << c.stored;
  }
  int vsyncLines = 0;
  for (const std::string& line : NewLogLines()) vsyncLines += line == N + "VSYNC has been setted properly";
  EXPECT_EQ(vsyncLines, static_cast<int>(std::size(cases)));
}

TEST_F(RenderThreadTest, AContextThatCannotBeCreatedEndsTheStartAndTellsTheWindow) {
  platform::SetGlSurfaceFaults({.failContextCreation = true});
  TestWindow window(64, 48);
  ASSERT_TRUE(window.Ok());
  EXPECT_EQ(FailedStart(window), (std::vector<std::string>{
                                     N + "Start common initialization",
                                     N + "Error of common initialization",
                                 }));
}

TEST_F(RenderThreadTest, AMissingSwapControlExtensionEndsTheStartWithNoLineOfItsOwn) {
  platform::SetGlSurfaceFaults({.hideSwapControl = true});
  TestWindow window(64, 48);
  ASSERT_TRUE(window.Ok());
  settingsStore.Set("EnableVSync", 0);  // mandatory all the same
  EXPECT_EQ(FailedStart(window), (std::vector<std::string>{
                                     N + "Start common initialization",
                                     N + "Context for OpenGL has been created",
                                     N + "GLEW initialized",
                                     N + "OpenGL 2.0 is found",
                                     N + "Error of common initialization",
                                 }));
}

TEST_F(RenderThreadTest, ADriverBelowOpenGl2EndsTheStartWithItsErrorLine) {
  // Mesa reads this when the render thread's connection first uses GLX.
  setenv("MESA_GL_VERSION_OVERRIDE", "1.5", 1);
  TestWindow window(64, 48);
  ASSERT_TRUE(window.Ok());
  const std::vector<std::string> lines = FailedStart(window);
  unsetenv("MESA_GL_VERSION_OVERRIDE");
  EXPECT_EQ(lines, (std::vector<std::string>{
                       N + "Start common initialization",
                       N + "Context for OpenGL has been created",
                       N + "GLEW initialized",
                       E + "Can not initialize OpenGL 2.0",
                       N + "Error of common initialization",
                   }));
}

TEST_F(RenderThreadTest, AWindowIdThatIsNoWindowFailsTheStartWithoutHarm) {
  ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, 0x3fffff1));
  ASSERT_TRUE(WaitFor([&] { return NewLogLines().size() >= 2; }));
  Close(0x3fffff1);
  EXPECT_EQ(NewLogLines(), (std::vector<std::string>{
                               N + "Start common initialization",
                               N + "Error of common initialization",
                           }));
}

TEST_F(RenderThreadTest, AWindowWhoseVisualCannotServeIsCoveredByADrawableThatFollowsItsSize) {
  const unsigned long visual = TestWindow::FindVisualWithoutDoubleBuffer();
  if (visual == 0) GTEST_SKIP() << "the server offers no such visual";
  SetFollowWindowSize(true);
  TestWindow window(200, 100, visual);
  ASSERT_TRUE(window.Ok());
  ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, window.Handle()));
  ASSERT_TRUE(WaitForSwaps(3));
  EXPECT_NE(window.ScreenPixel(100, 50), 0xffffff);

  window.Resize(400, 300);
  EXPECT_TRUE(WaitFor([&] { return window.ScreenPixel(350, 250) != 0xffffff; }, 5s))
      << "the drawable did not grow with the window";
  Close(window.Handle());
}

TEST_F(RenderThreadTest, AWindowDestroyedUnderTheRunningThreadStopsTheDrawingButNotTheThread) {
  auto window = std::make_unique<TestWindow>(64, 48);
  ASSERT_TRUE(window->Ok());
  const platform::WindowHandle handle = window->Handle();
  ASSERT_TRUE(platform::StartRenderThread(RenderThreadProc, handle));
  ASSERT_TRUE(WaitForSwaps(3));
  window.reset();
  EXPECT_TRUE(WaitFor([] {
    const std::uint64_t before = platform::SwapCount();
    std::this_thread::sleep_for(50ms);
    return platform::SwapCount() == before;
  })) << "frames are still swapped onto a window that is gone";
  Close(handle);  // the thread still ends on request
}

}  // namespace
