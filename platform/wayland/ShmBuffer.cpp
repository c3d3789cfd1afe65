#include "platform/wayland/ShmBuffer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace platform::wayland {

ShmBuffer CreateShmBuffer(wl_shm* shm, int width, int height, const char* name) {
  const int stride = width * 4;
  const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  ShmBuffer b;
  const int fd = memfd_create(name, MFD_CLOEXEC);
  if (fd < 0) return b;
  if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels != MAP_FAILED) {
      wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(size));
      b.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
      wl_shm_pool_destroy(pool);
      b.pixels = static_cast<std::uint8_t*>(pixels);
      b.size = size;
    }
  }
  close(fd);
  return b;
}

void UnmapShmBuffer(ShmBuffer& b) {
  if (b.pixels != nullptr) munmap(b.pixels, b.size);
  b.pixels = nullptr;
  b.size = 0;
}

}  // namespace platform::wayland
