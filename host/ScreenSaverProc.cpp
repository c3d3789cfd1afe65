#include "host/ScreenSaverProc.h"

#include "base/AppLog.h"
#include "host/DefScreenSaverProc.h"
#include "host/ShellMessages.h"
#include "host/ShellSystem.h"
#include "platform/GlSurface.h"
#include "platform/MessageBox.h"
#include "platform/RenderThread.h"
#include "render/FpsCounter.h"
#include "render/RenderThread.h"
#include "render/VideoInit.h"

using namespace shell;

namespace {

// The render thread is stopped and joined first, so no GL call can follow the release. The
// handles are cleared once released: a second close must not release them again.
void ReleaseRendering(platform::WindowHandle window) {
  if (!platform::StopRenderThread()) {
    // It may be stuck inside a GL call: pulling its context from under it is what must never
    // happen. The close goes on, and the end of the process, which follows it, frees both.
    appLog.Write(Error,
                 "The render thread did not stop: its contexts are left to the process's end");
    return;
  }
  if (videoContext.glContext != nullptr) {
    platform::DeleteGlContext(videoContext.deviceContext, videoContext.glContext);
    videoContext.glContext = nullptr;
  }
  if (videoContext.deviceContext != nullptr) {
    platform::ReleaseDeviceContext(window, videoContext.deviceContext);
    videoContext.deviceContext = nullptr;
  }
}

// Whether this window's close handling has run. A window can be destroyed without being asked
// to close (a preview whose host window goes takes its child with it); its destruction then
// does the close's work, so the render thread never draws on a window that is gone.
bool closeHandled = false;

void HandleClose(platform::WindowHandle window) {
  closeHandled = true;
  ReleaseRendering(window);
  appLog.WriteValue(Notify, "FPS = %g", fpsCounter.AverageFps());
}

}  // namespace

std::intptr_t ScreenSaverProc(platform::WindowHandle window, unsigned message,
                              std::uintptr_t wordParam, std::intptr_t longParam) {
  switch (message) {
    case WmCreate:
      closeHandled = false;
      appLog.Write(Notify, "Run looping thread");
      platform::StartRenderThread(RenderThreadProc, window);
      break;
    case WmClose:
      HandleClose(window);
      break;
    case WmDestroy:
      if (!closeHandled) HandleClose(window);
      break;
    case WmUser:
      appLog.Write(Notify, "Exit with error");
      shellSystem->MinimizeWindow(window);
      if (const char* text = appLog.UserMessage()) platform::ShowMessageBox(window, text, "Screen saver");
      break;
    default:
      break;
  }
  return DefScreenSaverProc(window, message, wordParam, longParam);
}
