#include "platform/wayland/RenderQueue.h"

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <chrono>

#include "platform/RenderThread.h"

namespace platform::wayland {

RenderQueue::RenderQueue(wl_display* display_)
    : display(display_), queue(wl_display_create_queue(display_)) {}

RenderQueue::~RenderQueue() {
  ForgetFrame();
  wl_event_queue_destroy(queue);
}

std::int64_t RenderQueue::NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void* RenderQueue::Wrap(void* proxy) {
  void* wrapper = wl_proxy_create_wrapper(proxy);
  if (wrapper != nullptr) wl_proxy_set_queue(static_cast<wl_proxy*>(wrapper), queue);
  return wrapper;
}

bool RenderQueue::DispatchUntil(bool (*done)(const void*), const void* data,
                                std::int64_t deadlineUs) {
  for (;;) {
    if (wl_display_dispatch_queue_pending(display, queue) < 0) return false;
    if (done(data) || RenderThreadStopRequested()) return true;
    // Slices of 10 ms at most, so that a stop is seen soon.
    const std::int64_t left = std::min<std::int64_t>(deadlineUs - NowUs(), 10000);
    if (left <= 0) return true;
    // The window thread reads the connection too: a read is prepared, or the events another
    // read put on this queue are dispatched first.
    while (wl_display_prepare_read_queue(display, queue) != 0)
      if (wl_display_dispatch_queue_pending(display, queue) < 0) return false;
    wl_display_flush(display);
    pollfd fd{wl_display_get_fd(display), POLLIN, 0};
    const timespec timeout{static_cast<time_t>(left / 1000000),
                           static_cast<long>(left % 1000000) * 1000};
    const int ready = ppoll(&fd, 1, &timeout, nullptr);
    if (ready <= 0 || !(fd.revents & POLLIN)) {
      wl_display_cancel_read(display);
      if ((ready < 0 && errno != EINTR) || (fd.revents & (POLLERR | POLLHUP))) return false;
      continue;
    }
    if (wl_display_read_events(display) != 0) return false;
  }
}

void RenderQueue::Done(void* data, wl_callback* callback, std::uint32_t) {
  auto* q = static_cast<RenderQueue*>(data);
  wl_callback_destroy(callback);
  if (q->pending != callback) return;
  q->pending = nullptr;
  q->latencyUs = NowUs() - q->committedUs;
}

void RenderQueue::WaitForFrame(std::int64_t periodUs) {
  if (pending == nullptr) return;
  const auto came = [](const void* q) {
    return static_cast<const RenderQueue*>(q)->pending == nullptr;
  };
  DispatchUntil(came, this, FrameDeadline(committedUs, periodUs, callbacksCome, latencyUs));
  callbacksCome = pending == nullptr;
  ForgetFrame();
}

void RenderQueue::RequestFrame(wl_surface* surface) {
  ForgetFrame();
  static const wl_callback_listener listener = {Done};
  pending = wl_surface_frame(surface);
  if (pending != nullptr) wl_callback_add_listener(pending, &listener, this);
  committedUs = NowUs();
}

void RenderQueue::ForgetFrame() {
  // A callback that comes later finds its proxy gone and is dropped.
  if (pending != nullptr) wl_callback_destroy(pending);
  pending = nullptr;
}

}  // namespace platform::wayland
