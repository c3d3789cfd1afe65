// The full-screen saver on Wayland: the connection's part in the saver's loop, the seat's input
// as the close rules see it, and the covers as outputs come and go.
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
#include "platform/wayland/CoverList.h"
#include "platform/wayland/LayerShellRole.h"
#include "platform/wayland/SurfaceScale.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/wayland/WaylandSeat.h"
#include "platform/wayland/WaylandSession.h"
#include "platform/wayland/XdgShellRole.h"

using namespace shell;

namespace platform::wayland {
namespace {

Session session;

class WaylandEvents : public SaverLoop::Source, public SeatInput {
 public:
  explicit WaylandEvents(const CoverRole& role) : role(role) {}

  // Covers every output, the creature on the first.
  void CoverAll(const std::vector<Output*>& outputs) {
    for (Output* o : outputs) covers.push_back(role.cover(session, o, covers.empty(), coverEvents));
  }
  Cover* First() const { return covers.empty() ? nullptr : covers.front(); }

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
    for (Cover* c : covers) Drop(c);
    covers.clear();
    wl_display_flush(session.display);
    return true;
  }

  ScreenPoint CursorPosition() override {
    return {static_cast<int>(cursorX), static_cast<int>(cursorY)};
  }
  // The pointer's enter hides it.
  void MinimizeWindow() override {
    // The message box goes over the desktop: the covers leave.
    for (Cover* c : covers) role.hide(c);
    wl_display_flush(session.display);
  }
  bool IsWindow(WindowHandle window) override { return window == SaverHandle && !destroyed; }

  std::size_t Covered() const { return covers.size(); }

  // An output that appears while the saver runs is covered as well.
  void AddCover(Output* output) {
    if (!destroyed && !covers.empty())
      covers.push_back(role.cover(session, output, false, coverEvents));
  }
  void OutputGone(const Output* output) { Lose(LoseOutput(covers, output)); }
  void CoverGone(const Cover* cover) { Lose(LoseCover(covers, cover)); }

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

  static const CoverEvents coverEvents;

 private:
  // An output that went, or a surface the compositor took away, loses its cover; the creature
  // moves on where its cover went. The saver ends only when no cover is left.
  void Lose(const CoverLoss& loss) {
    if (loss.gone.empty()) return;
    if (loss.mainMoved) {
      std::lock_guard<std::mutex> lock(session.mainLock);
      session.main = loss.newMain;
      FollowScale(Connection(), session, loss.newMain);
      if (loss.newMain != nullptr) {
        session.width.store(loss.newMain->width);
        session.height.store(loss.newMain->height);
        session.refreshMilliHz.store(loss.newMain->output->refreshMilliHz);
      }
    }
    for (Cover* c : loss.gone) Drop(c);
    wl_display_flush(session.display);
    if (covers.empty() && !destroyed) {
      session.lost.store(true);
      if (loop) loop->Post(WmClose, 0, 0);
    }
  }

  // A compositor that goes away ends the saver as a lost X server does.
  [[noreturn]] static void ConnectionLost() {
    const int error = wl_display_get_error(session.display);
    std::fprintf(stderr, "velmora: the Wayland connection is lost (%s)\n", std::strerror(error));
    _exit(1);
  }

  // The role goes now; the surface too, unless the render thread still draws on it (it then
  // destroys it itself once it has moved on).
  void Drop(Cover* c) {
    role.drop(c);
    {
      std::lock_guard<std::mutex> lock(session.mainLock);
      if (c->surface == session.drawn)
        session.dropDrawn = true;
      else
        wl_surface_destroy(c->surface);
    }
    delete c;
  }

  const CoverRole& role;
  std::vector<Cover*> covers;
  bool destroyed = false;
  bool havePointer = false;
  double lastX = 0, lastY = 0, cursorX = 0, cursorY = 0;
};

WaylandEvents* events = nullptr;

void OnCoverGone(Cover* cover) {
  if (events) events->CoverGone(cover);
}
void OnCloseAsked() {
  if (events && events->loop) events->loop->Post(WmClose, 0, 0);
}
const CoverEvents WaylandEvents::coverEvents{OnCoverGone, OnCloseAsked};

void NotifyFromRenderThread(unsigned message, std::uintptr_t wordParam) {
  if (events && events->loop) events->loop->Post(message, wordParam, 0);
}

}  // namespace

int RunSaver() {
  if (!SaverRoleOffered()) {
    std::fprintf(stderr, "velmora: %s\n", WhyNoSaverRole().c_str());
    return -1;
  }
  Globals& globals = Connection();
  if (globals.outputs.empty()) {
    std::fprintf(stderr, "velmora: the Wayland compositor offers no output to cover\n");
    return -1;
  }
  session.display = globals.display;
  if (!egl::Open(EGL_PLATFORM_WAYLAND_KHR, session.display, session.egl)) {
    std::fprintf(stderr, "velmora: no EGL with desktop OpenGL on this Wayland display\n");
    return -1;
  }
  // Layer-shell's overlay layer where offered: above panels and notifications by its nature.
  // Else full-screen toplevels, whose stacking is the compositor's to decide.
  events = new WaylandEvents(globals.layerShell != nullptr ? layerShellRole : xdgShellRole);
  events->CoverAll(globals.outputs);
  if (globals.seat) ListenToSeat(globals.seat, events);
  session.main = events->First();
  {
    std::lock_guard<std::mutex> lock(session.mainLock);
    FollowScale(globals, session, session.main);
  }
  session.refreshMilliHz.store(globals.outputs.front()->refreshMilliHz);
  session.notify = NotifyFromRenderThread;
  globals.outputAdded = [](Output* o) { events->AddCover(o); };
  globals.outputRemoved = [](Output* o) { events->OutputGone(o); };
  // The first configure gives the size; the surfaces are mapped from there.
  if (wl_display_roundtrip(session.display) < 0) return -1;
  if (events->Covered() == 0) {
    std::fprintf(stderr, "velmora: the Wayland compositor took every surface away at once\n");
    return -1;
  }

  SetSession(&session);
  shellState.mainWindow = SaverHandle;
  shellState.lastLineStatus = ReadAcLineStatus();
  SaverLoop::Options options;
  options.watchPower = true;
  options.proc = SaverClassProc;
  // Static: the loop outlives the run, since the process ends with _exit right after it.
  static SaverLoop* loop = nullptr;
  loop = new SaverLoop(*events, options);
  events->loop = loop;
  shellSystem = loop;
  return loop->Run();
}

}  // namespace platform::wayland
