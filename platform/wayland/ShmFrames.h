#pragma once
// Frames shown through shared-memory buffers of the saver's own, where EGL cannot tell the
// compositor what a frame changed. (Mesa's software path on Wayland copies every frame whole
// into shared memory and damages all of it, and says nothing of its buffers' ages.) The frame is
// drawn into a framebuffer object, which keeps it from frame to frame; only the part that
// changed is read back into a buffer and damaged, so the compositor composites that part alone.
// Each buffer remembers what it lacks since it was last shown: one the compositor gives back
// late is brought up to date by copying just that.
#include <cstdint>
#include <vector>

#include "platform/wayland/ShmBuffer.h"

struct wl_shm;
struct wl_surface;

namespace platform::wayland {

class RenderQueue;

// A rectangle of the buffer in pixels from its top left corner; empty when it has no pixel.
struct BufferRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool Empty() const { return width <= 0 || height <= 0; }
  bool operator==(const BufferRect&) const = default;
};
// The smallest rectangle holding both.
BufferRect Join(const BufferRect& a, const BufferRect& b);
// A rectangle in GL's window coordinates (x, y from the bottom left) as the buffer's, clipped to
// a buffer of bufferWidth x bufferHeight; empty (all zero) when none of it is inside.
BufferRect FromWindow(int x, int y, int width, int height, int bufferWidth, int bufferHeight);

class ShmFrames {
 public:
  // Buffers the compositor may hold at once before a frame waits for one to come back.
  static constexpr int MaxBuffers = 4;

  // `shm`: a wrapper of the connection's wl_shm on `queue`, whose buffers' releases come there.
  ShmFrames(RenderQueue& queue, wl_shm* shm) : queue(queue), shm(shm) {}
  ~ShmFrames();
  ShmFrames(const ShmFrames&) = delete;
  ShmFrames& operator=(const ShmFrames&) = delete;

  // With the context current: draws into a framebuffer object of width x height from now on,
  // its contents undefined unless the size is the one it had. False when the context has no
  // framebuffer objects of that size.
  bool Resize(int width, int height);
  // The frames go to another surface, which shows nothing yet: every buffer lacks everything.
  void SurfaceChanged();

  // Attaches a buffer holding the framebuffer's picture to `surface` with `changed` (in GL's
  // window coordinates: x, y from the bottom left) damaged, plus whatever earlier frames changed
  // that no buffer has shown; then the caller commits. False when nothing is attached: nothing
  // changed, or every buffer is still the compositor's after a wait until `waitUntilUs` (the
  // next attach then shows this change too).
  bool Attach(wl_surface* surface, int x, int y, int width, int height, std::int64_t waitUntilUs);

 private:
  struct Buffer {
    ShmBuffer shm;
    int width = 0;
    int height = 0;
    bool busy = false;     // attached, and not released by the compositor yet
    bool retired = false;  // of an earlier size: freed when the compositor gives it back
    BufferRect stale;      // what it lacks of the framebuffer's picture
  };
  static void Released(void* data, wl_buffer* buffer);
  static void Free(Buffer* b);
  // Frees the buffers of an earlier size the compositor gave back.
  void Sweep();
  Buffer* FreeBuffer(std::int64_t waitUntilUs);
  Buffer* NewBuffer();
  void Copy(const Buffer& b, const BufferRect& r);

  RenderQueue& queue;
  wl_shm* shm;
  unsigned framebuffer = 0;
  unsigned colour = 0;
  unsigned depth = 0;
  int width = 0;
  int height = 0;
  std::vector<Buffer*> buffers;
  // What changed since the last attach, for the compositor's damage.
  BufferRect unshown;
  // Rows read back at once, to turn GL's bottom-up rows over.
  static constexpr int BandRows = 32;
  std::vector<std::uint8_t> band;
};

}  // namespace platform::wayland
