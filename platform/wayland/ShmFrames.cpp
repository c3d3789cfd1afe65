#include "platform/wayland/ShmFrames.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "platform/wayland/RenderQueue.h"
#include "platform/wayland/ShmBuffer.h"

namespace platform::wayland {
namespace {

// The framebuffer object calls, loaded once the context is current (before any GL loader runs).
struct FramebufferCalls {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

  bool Load() {
    if (checkFramebufferStatus != nullptr) return true;
    const auto load = [](auto& call, const char* name) {
      call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(eglGetProcAddress(name));
      return call != nullptr;
    };
    return load(genFramebuffers, "glGenFramebuffers") &&
           load(bindFramebuffer, "glBindFramebuffer") &&
           load(genRenderbuffers, "glGenRenderbuffers") &&
           load(bindRenderbuffer, "glBindRenderbuffer") &&
           load(renderbufferStorage, "glRenderbufferStorage") &&
           load(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           load(checkFramebufferStatus, "glCheckFramebufferStatus");
  }
};
FramebufferCalls gl;

}  // namespace

BufferRect Join(const BufferRect& a, const BufferRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  const int x = std::min(a.x, b.x);
  const int y = std::min(a.y, b.y);
  return {x, y, std::max(a.x + a.width, b.x + b.width) - x,
          std::max(a.y + a.height, b.y + b.height) - y};
}

// The framebuffer object goes with the context.
BufferRect FromWindow(int x, int y, int width, int height, int bufferWidth, int bufferHeight) {
  const int left = std::max(x, 0);
  const int top = std::max(bufferHeight - (y + height), 0);
  const BufferRect r{left, top, std::min(x + width, bufferWidth) - left,
                     std::min(bufferHeight - y, bufferHeight) - top};
  return r.Empty() ? BufferRect{} : r;
}

ShmFrames::~ShmFrames() {
  for (Buffer* b : buffers) Free(b);
}

bool ShmFrames::Resize(int width_, int height_) {
  if (framebuffer != 0 && width_ == width && height_ == height) return true;
  if (!gl.Load()) return false;
  if (framebuffer == 0) {
    gl.genFramebuffers(1, &framebuffer);
    gl.genRenderbuffers(1, &colour);
    gl.genRenderbuffers(1, &depth);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, colour);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depth);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
  }
  gl.bindRenderbuffer(GL_RENDERBUFFER, colour);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
  gl.bindRenderbuffer(GL_RENDERBUFFER, depth);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
  if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
  width = width_;
  height = height_;
  band.resize(static_cast<std::size_t>(width) * 4 * BandRows);
  // Buffers of the old size go as the compositor gives them back.
  for (Buffer* b : buffers) b->retired = true;
  Sweep();
  unshown = {0, 0, width, height};
  return true;
}

void ShmFrames::SurfaceChanged() {
  for (Buffer* b : buffers) b->stale = {0, 0, width, height};
  unshown = {0, 0, width, height};
}

void ShmFrames::Released(void* data, wl_buffer*) { static_cast<Buffer*>(data)->busy = false; }

void ShmFrames::Sweep() {
  std::erase_if(buffers, [](Buffer* b) {
    if (!b->retired || b->busy) return false;
    Free(b);
    return true;
  });
}

void ShmFrames::Free(Buffer* b) {
  wl_buffer_destroy(b->shm.buffer);
  UnmapShmBuffer(b->shm);
  delete b;
}

ShmFrames::Buffer* ShmFrames::NewBuffer() {
  const ShmBuffer shmBuffer = CreateShmBuffer(shm, width, height, "velmora-frame");
  if (shmBuffer.buffer == nullptr) return nullptr;
  auto* b = new Buffer;
  b->shm = shmBuffer;
  b->width = width;
  b->height = height;
  b->stale = {0, 0, width, height};
  static const wl_buffer_listener listener = {Released};
  wl_buffer_add_listener(b->shm.buffer, &listener, b);
  buffers.push_back(b);
  return b;
}

ShmFrames::Buffer* ShmFrames::FreeBuffer(std::int64_t waitUntilUs) {
  const auto any = [](const void* self) {
    int live = 0;
    for (const Buffer* b : static_cast<const ShmFrames*>(self)->buffers) {
      if (!b->busy && !b->retired) return true;
      if (!b->retired) ++live;
    }
    return live < MaxBuffers;  // room for a new one
  };
  // Releases already sent are taken in first; then, with every buffer the compositor's, a wait.
  queue.DispatchUntil(any, this, 0);
  if (!any(this)) queue.DispatchUntil(any, this, waitUntilUs);
  Sweep();
  // The one that lacks least, so that the copy is smallest.
  Buffer* best = nullptr;
  int live = 0;
  for (Buffer* b : buffers) {
    if (b->retired) continue;
    ++live;
    if (!b->busy && (best == nullptr || b->stale.width * b->stale.height <
                                            best->stale.width * best->stale.height))
      best = b;
  }
  if (best == nullptr && live < MaxBuffers) best = NewBuffer();
  return best;
}

// GL's rows run bottom up: the rectangle is read a band of rows at a time and each row put in
// its place, so that the buffer only ever holds rows of one picture or the other, never one
// turned over (a compositor that reads a buffer after giving it back sees no garbage).
void ShmFrames::Copy(const Buffer& b, const BufferRect& r) {
  const std::size_t stride = static_cast<std::size_t>(b.width) * 4;
  const std::size_t bytes = static_cast<std::size_t>(r.width) * 4;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  // Bands from the rectangle's bottom row (GL's first) up.
  for (int done = 0; done < r.height; done += BandRows) {
    const int rows = std::min(BandRows, r.height - done);
    glReadPixels(r.x, height - r.y - r.height + done, r.width, rows, GL_BGRA, GL_UNSIGNED_BYTE,
                 band.data());
    for (int i = 0; i < rows; ++i) {
      const int y = r.y + r.height - 1 - done - i;  // the buffer's row, from the top
      std::memcpy(b.shm.pixels + static_cast<std::size_t>(y) * stride +
                      static_cast<std::size_t>(r.x) * 4,
                  band.data() + static_cast<std::size_t>(i) * bytes, bytes);
    }
  }
}

bool ShmFrames::Attach(wl_surface* surface, int x, int y, int w, int h, std::int64_t waitUntilUs) {
  const BufferRect changed = FromWindow(x, y, w, h, width, height);
  if (!changed.Empty()) {
    unshown = Join(unshown, changed);
    for (Buffer* b : buffers) b->stale = Join(b->stale, changed);
  }
  if (unshown.Empty()) return false;
  Buffer* b = FreeBuffer(waitUntilUs);
  if (b == nullptr) return false;
  if (!b->stale.Empty()) Copy(*b, b->stale);
  b->stale = {};
  b->busy = true;
  wl_surface_attach(surface, b->shm.buffer, 0, 0);
  wl_surface_damage_buffer(surface, unshown.x, unshown.y, unshown.width, unshown.height);
  unshown = {};
  return true;
}

}  // namespace platform::wayland
