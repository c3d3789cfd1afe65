#pragma once
// A wl_buffer of XRGB8888 pixels in shared memory of its own, mapped for writing: the clear
// colour of the covers without the creature, and the frames copied out of GL.
#include <cstddef>
#include <cstdint>

struct wl_buffer;
struct wl_shm;

namespace platform::wayland {

struct ShmBuffer {
  wl_buffer* buffer = nullptr;  // nullptr: no buffer could be had
  std::uint8_t* pixels = nullptr;
  std::size_t size = 0;  // bytes, width * 4 a row
};

// `name` names the memory (seen in /proc); a buffer with nothing in it when the memory cannot be
// had. The buffer's events go to the queue of `shm`.
ShmBuffer CreateShmBuffer(wl_shm* shm, int width, int height, const char* name);
// Unmaps the pixels; the wl_buffer stays the caller's.
void UnmapShmBuffer(ShmBuffer& b);

}  // namespace platform::wayland
