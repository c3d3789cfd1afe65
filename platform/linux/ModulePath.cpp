#include "platform/ModulePath.h"

#include <unistd.h>

#include <cstring>
#include <vector>

namespace platform {

std::size_t ModulePath(char* buffer, std::size_t size) {
  // readlink does not say how long a link is that did not fit, so grow until it fits.
  std::vector<char> link(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", link.data(), link.size());
    if (length <= 0) return 0;
    const std::size_t n = static_cast<std::size_t>(length);
    if (n < link.size()) {
      if (size > 0) {
        const std::size_t copied = n < size - 1 ? n : size - 1;
        std::memcpy(buffer, link.data(), copied);
        buffer[copied] = '\0';
      }
      return n;
    }
    if (link.size() >= (std::size_t{1} << 20)) return 0;
    link.resize(link.size() * 4);
  }
}

}  // namespace platform
