#pragma once
// The render thread's own event queue on the Wayland connection. The frame callbacks and buffer
// releases of what the render thread shows come here, so that it can wait for them with a
// deadline while the window thread's loop reads everything else.
//
// It also paces the commits of the surface drawn on by its frame callbacks: a commit waits for
// the callback of the one before, which the compositor sends when it wants a new frame, so a
// compositor slower than the output (a software one at a large size) gets no more frames than
// it composites. A surface the compositor does not show gets none, so the wait ends at a
// deadline: while callbacks come, twice the time the last one took and at least a few refresh
// periods; once one did not come, one period, so that a hidden surface is drawn at the output's
// rate. A stop of the render thread ends any wait at once: a close never waits on a callback.
#include <algorithm>
#include <cstdint>

struct wl_callback;
struct wl_display;
struct wl_event_queue;
struct wl_surface;

namespace platform::wayland {

class RenderQueue {
 public:
  // How long a commit waits at least for the last one's callback, in refresh periods, while
  // callbacks come; and at most, in microseconds.
  static constexpr int PatientPeriods = 3;
  static constexpr std::int64_t MostPatientUs = 1000000;

  explicit RenderQueue(wl_display* display);
  ~RenderQueue();
  RenderQueue(const RenderQueue&) = delete;
  RenderQueue& operator=(const RenderQueue&) = delete;

  // A wrapper of `proxy` whose new objects' events come to this queue; it is freed with
  // wl_proxy_wrapper_destroy, before the proxy it wraps.
  void* Wrap(void* proxy);

  // Dispatches this queue's events until `done(data)`, the steady clock's microsecond count
  // reaches `deadlineUs` or the render thread is asked to stop. False when the connection failed.
  bool DispatchUntil(bool (*done)(const void*), const void* data, std::int64_t deadlineUs);

  // Around a commit of `surface` (a wrapper from Wrap): the wait for the last commit's callback,
  // then the request of this commit's. `periodUs` is the output's refresh period.
  void WaitForFrame(std::int64_t periodUs);
  void RequestFrame(wl_surface* surface);
  // The surface drawn on is given up: its callback is no longer waited for.
  void ForgetFrame();

  // When the next commit's wait ends at the latest, given the last commit's time and how long
  // the last callback that came took.
  static std::int64_t FrameDeadline(std::int64_t committedUs, std::int64_t periodUs,
                                    bool callbacksCome, std::int64_t latencyUs) {
    if (!callbacksCome) return committedUs + periodUs;
    const std::int64_t patience = std::max(PatientPeriods * periodUs, 2 * latencyUs);
    return committedUs + std::min(patience, MostPatientUs);
  }

  static std::int64_t NowUs();

 private:
  static void Done(void* data, wl_callback* callback, std::uint32_t);

  wl_display* display;
  wl_event_queue* queue;
  wl_callback* pending = nullptr;  // the last commit's frame callback, until it comes
  std::int64_t committedUs = 0;
  std::int64_t latencyUs = 0;  // from the commit to its callback, the last that came
  bool callbacksCome = true;
};

}  // namespace platform::wayland
