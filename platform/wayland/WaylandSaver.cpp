// The full-screen saver on Wayland: the connection's part in the saver's loop, the seat's input
// as the close rules see it, and the covers' end.
#include "platform/wayland/WaylandSaver.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "host/SaverClassProc.h"
#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "platform/linux/PowerSupply.h"
#include "platform/linux/SaverLoop.h"
#include "platform/wayland/LayerShellRole.h"
#include "platform/wayland/SurfaceScale.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/wayland/WaylandSeat.h"
#include "platform/wayland/WaylandSession.h"

using namespace shell;

namespace platform::wayland {
namespace {

Session session;

class WaylandEvents : public SaverLoop::Source, public SeatInput {
 public:
  explicit WaylandEvents(std::vector<Cover*> all) : covers(std::move(all)) {}

  SaverLoop* loop = nullptr;  // set once the loop exists; input before that is dropped

  WindowHandle Handle() override { return SaverHandle; }
  int EventFd() override { return wl_display_get_fd(session.display); }

  void PrepareRead(SaverLoop&) override {
    while (wl_display_prepare_read(session.display) != 0) wl_display_dispatch_pending(session.display);
    wl_display_flush(session.display);
  }
  void CancelRead() override { wl_display_cancel_read(session.display); }
  void Read(SaverLoop&, short revents) override {
    if (revents & POLLIN) {
      if (wl_display_read_events(session.display) != 0) ConnectionLost();
    } else {
      wl_display_cancel_read(session.display);
    }
    if (revents & (POLLERR | POLLHUP)) ConnectionLost();
    if (wl_display_dispatch_pending(session.display) < 0) ConnectionLost();
  }

  // The surfaces are mapped by their first configure, before the loop.
  void Created(SaverLoop& l) override { l.Dispatch(WmShowWindow, 1, 0); }

  bool DestroyWindow() override {
    if (destroyed) return false;
    destroyed = true;
    for (Cover* c : covers) DestroyCover(c);
    wl_display_flush(session.display);
    return true;
  }

  ScreenPoint CursorPosition() override {
    return {static_cast<int>(cursorX), static_cast<int>(cursorY)};
  }
  // The pointer's enter hides it.
  void MinimizeWindow() override {
    // The message box goes over the desktop: the covers leave.
    for (Cover* c : covers) HideCover(c);
    wl_display_flush(session.display);
  }
  bool IsWindow(WindowHandle window) override { return window == SaverHandle && !destroyed; }

  // An output that appears while the saver runs is covered as well.
  void AddCover(Output* output) {
    if (!destroyed) covers.push_back(CoverOutput(Connection(), session, output, false, Closed));
  }

  void Pressed(unsigned message, std::uintptr_t wordParam) override {
    if (loop) loop->Dispatch(message, wordParam, 0);
  }
  void PointerEntered(double x, double y) override {
    if (!loop) return;
    lastX = x;
    lastY = y;
    havePointer = true;
  }
  // Pointer motion is summed from the seat's relative steps, in any surface: the threshold
  // compares this position with the one saved at the start.
  void PointerMoved(double x, double y) override {
    if (!loop) return;
    if (havePointer) {
      cursorX += x - lastX;
      cursorY += y - lastY;
    }
    lastX = x;
    lastY = y;
    havePointer = true;
    loop->Dispatch(WmMouseMove, 0, 0);
  }

  // The compositor took a surface away: a close.
  static void Closed();

 private:
  // A compositor that goes away ends the saver as a lost X server does.
  [[noreturn]] static void ConnectionLost() {
    const int error = wl_display_get_error(session.display);
    std::fprintf(stderr, "velmora: the Wayland connection is lost (%s)\n", std::strerror(error));
    _exit(1);
  }

  std::vector<Cover*> covers;
  bool destroyed = false;
  bool havePointer = false;
  double lastX = 0, lastY = 0, cursorX = 0, cursorY = 0;
};

WaylandEvents* events = nullptr;

void WaylandEvents::Closed() {
  if (events && events->loop) events->loop->Post(WmClose, 0, 0);
}

void NotifyFromRenderThread(unsigned message, std::uintptr_t wordParam) {
  if (events && events->loop) events->loop->Post(message, wordParam, 0);
}

}  // namespace

int RunSaver() {
  if (!LayerShellOffered()) {
    std::fprintf(stderr, "velmora: no Wayland compositor with layer-shell to draw on\n");
    return -1;
  }
  Globals& globals = Connection();
  if (globals.compositor == nullptr || globals.shm == nullptr || globals.outputs.empty()) {
    std::fprintf(stderr, "velmora: the Wayland compositor offers no output to cover\n");
    return -1;
  }
  session.display = globals.display;
  if (!egl::Open(EGL_PLATFORM_WAYLAND_KHR, session.display, session.egl)) {
    std::fprintf(stderr, "velmora: no EGL with desktop OpenGL on this Wayland display\n");
    return -1;
  }
  std::vector<Cover*> covers;
  for (Output* o : globals.outputs)
    covers.push_back(CoverOutput(globals, session, o, covers.empty(), WaylandEvents::Closed));
  // Static: the loop outlives the run, since the process ends with _exit right after it.
  events = new WaylandEvents(covers);
  if (globals.seat) ListenToSeat(globals.seat, events);
  session.main = covers.front();
  FollowScale(globals, session, session.main);
  session.refreshMilliHz.store(globals.outputs.front()->refreshMilliHz);
  session.notify = NotifyFromRenderThread;
  // The first configure gives the size; the surfaces are mapped from there.
  if (wl_display_roundtrip(session.display) < 0) return -1;

  SetSession(&session);
  shellState.mainWindow = SaverHandle;
  shellState.lastLineStatus = ReadAcLineStatus();
  SaverLoop::Options options;
  options.watchPower = true;
  options.proc = SaverClassProc;
  static SaverLoop* loop = nullptr;
  loop = new SaverLoop(*events, options);
  events->loop = loop;
  globals.outputAdded = [](Output* o) { events->AddCover(o); };
  shellSystem = loop;
  return loop->Run();
}

}  // namespace platform::wayland
