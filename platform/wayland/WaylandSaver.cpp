#include "platform/wayland/WaylandSaver.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "host/SaverClassProc.h"
#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "host/ShellSystem.h"
#include "platform/Clock.h"
#include "platform/posix/EndSignals.h"
#include "platform/posix/LogindWatcher.h"
#include "platform/posix/PostedMessages.h"
#include "platform/posix/PowerSupply.h"
#include "platform/wayland/WaylandSession.h"
#include "platform/wayland/WaylandSurface.h"
#include "render/RenderThread.h"
// The protocol names a request's argument `namespace`, which C++ reserves.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

using namespace shell;

namespace platform::wayland {
namespace {

constexpr std::uint32_t AcPollMs = 1000;
// The clear colour of the frame, (26, 51, 51), for the outputs without the creature.
constexpr std::uint32_t ClearPixel = 0xFF1A3333;

struct Globals {
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  wl_seat* seat = nullptr;
  std::vector<Output*> outputs;
};

class WaylandLoop;
WaylandLoop* loop = nullptr;
Cover* CoverOutput(Output* output, bool main);

class WaylandLoop : public ShellSystem {
 public:
  explicit WaylandLoop(Session& s) : session(s) {}

  void Post(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam) {
    posted.Post({message, wordParam, longParam});
  }

  void Dispatch(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam) {
    if (!quit) SaverClassProc(SaverHandle, message, wordParam, longParam);
  }

  int Run(const std::vector<Cover*>& all) {
    covers = all;
    WatchLogindSleep([](bool starting) {
      if (loop) loop->Post(WmPowerBroadcast, starting ? PbtSuspend : PbtResumeSuspend, 0);
    });
    Dispatch(WmCreate, 0, 0);
    Dispatch(WmShowWindow, 1, 0);
    std::uint32_t lastAcPoll = TickCount();
    while (!quit) {
      DrainPosted();
      if (quit) break;
      while (wl_display_prepare_read(session.display) != 0) wl_display_dispatch_pending(session.display);
      wl_display_flush(session.display);
      const std::uint32_t since = TickCount() - lastAcPoll;
      const int timeout = since >= AcPollMs ? 0 : static_cast<int>(AcPollMs - since);
      pollfd fds[3] = {{wl_display_get_fd(session.display), POLLIN, 0},
                       {posted.WakeFd(), POLLIN, 0},
                       {EndSignalFd(), POLLIN, 0}};
      poll(fds, 3, timeout);
      if (fds[0].revents & POLLIN) {
        if (wl_display_read_events(session.display) != 0) ConnectionLost();
      } else {
        wl_display_cancel_read(session.display);
      }
      if (fds[0].revents & (POLLERR | POLLHUP)) ConnectionLost();
      if (wl_display_dispatch_pending(session.display) < 0) ConnectionLost();
      if (fds[1].revents & POLLIN) posted.ClearWake();
      if ((fds[2].revents & POLLIN) && TakeEndSignals()) Post(WmClose, 0, 0);
      if (TickCount() - lastAcPoll >= AcPollMs) {
        lastAcPoll = TickCount();
        Post(WmPowerBroadcast, PbtPowerStatusChange, 0);
      }
    }
    return quitCode;
  }

  // A compositor that goes away ends the saver as a lost X server does.
  [[noreturn]] void ConnectionLost() {
    const int error = wl_display_get_error(session.display);
    std::fprintf(stderr, "velmora: the Wayland connection is lost (%s)\n", std::strerror(error));
    _exit(1);
  }

  // An output that appears while the saver runs is covered as well.
  void AddCover(Output* output) {
    if (!destroyed) covers.push_back(CoverOutput(output, false));
  }

  // Pointer motion is summed from the seat's relative steps, in any surface: the threshold
  // compares this position with the one saved at the start.
  void Moved(double x, double y) {
    if (havePointer) {
      cursorX += x - lastX;
      cursorY += y - lastY;
    }
    lastX = x;
    lastY = y;
    havePointer = true;
    Dispatch(WmMouseMove, 0, 0);
  }
  void Entered(double x, double y) {
    lastX = x;
    lastY = y;
    havePointer = true;
  }

  ScreenPoint CursorPosition() override {
    return {static_cast<int>(cursorX), static_cast<int>(cursorY)};
  }
  void HideCursor() override {}  // the pointer's enter hides it
  std::uint8_t AcLineStatus() override { return ReadAcLineStatus(); }
  void PostMessage(WindowHandle window, unsigned message, std::uintptr_t wordParam,
                   std::intptr_t longParam) override {
    if (window == SaverHandle) Post(message, wordParam, longParam);
  }
  void PostQuit(int code) override {
    quit = true;
    quitCode = code;
  }
  std::intptr_t DefaultWindowProc(WindowHandle, unsigned message, std::uintptr_t,
                                  std::intptr_t) override {
    if (message != WmClose || destroyed) return 0;
    destroyed = true;
    for (Cover* c : covers) {
      zwlr_layer_surface_v1_destroy(c->layer);
      wl_surface_destroy(c->surface);
    }
    wl_display_flush(session.display);
    SaverClassProc(SaverHandle, WmDestroy, 0, 0);
    return 0;
  }
  void MinimizeWindow(WindowHandle) override {
    // The message box goes over the desktop: the covers leave.
    for (Cover* c : covers) {
      wl_surface_attach(c->surface, nullptr, 0, 0);
      wl_surface_commit(c->surface);
    }
    wl_display_flush(session.display);
  }
  WindowHandle ParentWindow(WindowHandle) override { return 0; }
  bool IsWindow(WindowHandle window) override { return window == SaverHandle && !destroyed; }

 private:
  void DrainPosted() {
    PostedMessages::Message next;
    while (!quit && posted.Take(next)) Dispatch(next.message, next.wordParam, next.longParam);
  }

  Session& session;
  std::vector<Cover*> covers;
  PostedMessages posted;
  bool quit = false;
  bool destroyed = false;
  int quitCode = 0;
  bool havePointer = false;
  double lastX = 0, lastY = 0, cursorX = 0, cursorY = 0;
};

// --- the registry and the outputs

void OutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}
void OutputMode(void* data, wl_output*, uint32_t flags, int32_t, int32_t, int32_t refresh) {
  if (flags & WL_OUTPUT_MODE_CURRENT) static_cast<Output*>(data)->refreshMilliHz = refresh;
}
void OutputDone(void*, wl_output*) {}
void OutputScale(void*, wl_output*, int32_t) {}
void OutputText(void*, wl_output*, const char*) {}
const wl_output_listener outputListener = {OutputGeometry, OutputMode, OutputDone, OutputScale,
                                           OutputText, OutputText};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
  auto* g = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    g->compositor = static_cast<wl_compositor*>(
        wl_registry_bind(registry, name, &wl_compositor_interface, 4));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
    g->layerShell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
        registry, name, &zwlr_layer_shell_v1_interface, version < 3 ? version : 3));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && g->seat == nullptr) {
    g->seat = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, version < 5 ? version : 5));
  } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
    auto* o = new Output;
    o->name = name;
    o->output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, version < 2 ? version : 2));
    wl_output_add_listener(o->output, &outputListener, o);
    g->outputs.push_back(o);
    if (loop) loop->AddCover(o);
  }
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener = {Global, GlobalRemove};

// --- the seat: every key, the three buttons and motion past the threshold close

wl_pointer* pointer = nullptr;
wl_keyboard* keyboard = nullptr;

void PointerEnter(void*, wl_pointer* p, uint32_t serial, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
  wl_pointer_set_cursor(p, serial, nullptr, 0, 0);  // no cursor over the saver
  if (loop) loop->Entered(wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void PointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void PointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  if (loop) loop->Moved(wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void PointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
  if (!loop || state != WL_POINTER_BUTTON_STATE_PRESSED) return;
  if (button == BTN_LEFT) loop->Dispatch(WmLButtonDown, 0, 0);
  if (button == BTN_MIDDLE) loop->Dispatch(WmMButtonDown, 0, 0);
  if (button == BTN_RIGHT) loop->Dispatch(WmRButtonDown, 0, 0);
}
void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}  // the wheel: no close
void PointerFrame(void*, wl_pointer*) {}
void PointerAxisSource(void*, wl_pointer*, uint32_t) {}
void PointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void PointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener pointerListener = {PointerEnter, PointerLeave, PointerMotion,
                                             PointerButton, PointerAxis, PointerFrame,
                                             PointerAxisSource, PointerAxisStop,
                                             PointerAxisDiscrete, nullptr};

void KeyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void KeyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
  if (loop && state == WL_KEYBOARD_KEY_STATE_PRESSED) loop->Dispatch(WmKeyDown, key, 0);
}
void KeyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void KeyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener keyboardListener = {KeyboardKeymap, KeyboardEnter, KeyboardLeave,
                                               KeyboardKey, KeyboardModifiers, KeyboardRepeat};

// Devices come and go (a keyboard plugged in, a virtual one): the objects of a capability that
// went are released, so that its return gets live ones.
void SeatCapabilities(void*, wl_seat* seat, uint32_t caps) {
  if (!(caps & WL_SEAT_CAPABILITY_POINTER) && pointer != nullptr) {
    if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
      wl_pointer_release(pointer);
    else
      wl_pointer_destroy(pointer);
    pointer = nullptr;
  }
  if (!(caps & WL_SEAT_CAPABILITY_KEYBOARD) && keyboard != nullptr) {
    if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
      wl_keyboard_release(keyboard);
    else
      wl_keyboard_destroy(keyboard);
    keyboard = nullptr;
  }
  if ((caps & WL_SEAT_CAPABILITY_POINTER) && pointer == nullptr) {
    pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(pointer, &pointerListener, nullptr);
  }
  if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && keyboard == nullptr) {
    keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(keyboard, &keyboardListener, nullptr);
  }
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener = {SeatCapabilities, SeatName};

// --- the layer surfaces

Globals globals;
Session session;

wl_buffer* ClearBuffer(int width, int height) {
  const int stride = width * 4;
  const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  const int fd = memfd_create("velmora-cover", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  wl_buffer* buffer = nullptr;
  if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels != MAP_FAILED) {
      auto* p = static_cast<std::uint32_t*>(pixels);
      for (std::size_t i = 0; i < size / 4; ++i) p[i] = ClearPixel;
      munmap(pixels, size);
      wl_shm_pool* pool = wl_shm_create_pool(globals.shm, fd, static_cast<int32_t>(size));
      buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
      wl_shm_pool_destroy(pool);
    }
  }
  close(fd);
  return buffer;
}

void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                    uint32_t height) {
  auto* c = static_cast<Cover*>(data);
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  c->width = static_cast<int>(width);
  c->height = static_cast<int>(height);
  if (c->main) {
    // The render thread resizes its window and commits with its next frame. The first
    // configure comes before that thread starts: until its first frame (seconds with a software
    // driver), the clear colour hides the desktop.
    session.width.store(c->width);
    session.height.store(c->height);
    if (c->cleared) return;
  } else if (c->buffer != nullptr) {
    wl_buffer_destroy(c->buffer);
  }
  c->buffer = ClearBuffer(c->width > 0 ? c->width : 1, c->height > 0 ? c->height : 1);
  c->cleared = true;
  wl_surface_attach(c->surface, c->buffer, 0, 0);
  wl_surface_damage(c->surface, 0, 0, INT32_MAX, INT32_MAX);
  wl_surface_commit(c->surface);
}
void LayerClosed(void* data, zwlr_layer_surface_v1*) {
  auto* c = static_cast<Cover*>(data);
  // The compositor took a surface away (its output went, or it ends the saver): a close.
  if (c->main) session.lost.store(true);
  if (loop) loop->Post(WmClose, 0, 0);
}
const zwlr_layer_surface_v1_listener layerListener = {LayerConfigure, LayerClosed};

Cover* CoverOutput(Output* output, bool main) {
  auto* c = new Cover;
  c->output = output;
  c->main = main;
  c->surface = wl_compositor_create_surface(globals.compositor);
  c->layer = zwlr_layer_shell_v1_get_layer_surface(globals.layerShell, c->surface, output->output,
                                                   ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "velmora");
  zwlr_layer_surface_v1_set_anchor(c->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_size(c->layer, 0, 0);
  zwlr_layer_surface_v1_set_exclusive_zone(c->layer, -1);  // over panels too
  zwlr_layer_surface_v1_set_keyboard_interactivity(
      c->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
  zwlr_layer_surface_v1_add_listener(c->layer, &layerListener, c);
  wl_surface_commit(c->surface);
  return c;
}

bool Connect() {
  session.display = wl_display_connect(nullptr);
  if (session.display == nullptr) return false;
  wl_registry* registry = wl_display_get_registry(session.display);
  wl_registry_add_listener(registry, &registryListener, &globals);
  // The globals, then what the outputs say of their modes.
  return wl_display_roundtrip(session.display) >= 0 && wl_display_roundtrip(session.display) >= 0;
}

void NotifyFromRenderThread(unsigned message, std::uintptr_t wordParam) {
  if (loop) loop->Post(message, wordParam, 0);
}

}  // namespace

bool LayerShellOffered() {
  static const bool offered = Connect() && globals.layerShell != nullptr;
  return offered;
}

int RunSaver() {
  if (!LayerShellOffered()) {
    std::fprintf(stderr, "velmora: no Wayland compositor with layer-shell to draw on\n");
    return -1;
  }
  if (globals.compositor == nullptr || globals.shm == nullptr || globals.outputs.empty()) {
    std::fprintf(stderr, "velmora: the Wayland compositor offers no output to cover\n");
    return -1;
  }
  if (!egl::Open(EGL_PLATFORM_WAYLAND_KHR, session.display, session.egl)) {
    std::fprintf(stderr, "velmora: no EGL with desktop OpenGL on this Wayland display\n");
    return -1;
  }
  if (globals.seat) {
    wl_seat_add_listener(globals.seat, &seatListener, nullptr);
  }
  std::vector<Cover*> covers;
  for (Output* o : globals.outputs) covers.push_back(CoverOutput(o, covers.empty()));
  session.main = covers.front();
  session.refreshMilliHz.store(globals.outputs.front()->refreshMilliHz);
  session.notify = NotifyFromRenderThread;
  // The first configure gives the size; the surfaces are mapped from there.
  if (wl_display_roundtrip(session.display) < 0) return -1;

  SetSession(&session);
  UseSurfaceBackend(WaylandSurfaceBackend());
  SetFollowWindowSize(true);
  shellState.mainWindow = SaverHandle;
  shellState.lastLineStatus = ReadAcLineStatus();
  // Static: the loop outlives the run, since the process ends with _exit right after it.
  loop = new WaylandLoop(session);
  shellSystem = loop;
  return loop->Run(covers);
}

}  // namespace platform::wayland
