#include "platform/ModulePath.h"

#include <windows.h>

#include <cstring>

namespace platform {

std::size_t ModulePath(char* buffer, std::size_t size) {
  // GetModuleFileNameA cuts a long path without saying how long it was, so read it into room
  // for the longest path Windows allows and copy what fits.
  static char full[32768];
  const DWORD length = GetModuleFileNameA(nullptr, full, sizeof full);
  if (length == 0 || length >= sizeof full) return 0;
  if (size > 0) {
    const std::size_t copied = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, full, copied);
    buffer[copied] = '\0';
  }
  return length;
}

}  // namespace platform
