#pragma once
#include <cstddef>

namespace platform {

// Writes the running executable's full path into buffer (at most size - 1 characters and a NUL)
// and returns the path's full length, which may exceed size - 1 when the buffer is too small;
// 0 when the path cannot be read. Nothing outside buffer[0 .. size-1] is touched.
std::size_t ModulePath(char* buffer, std::size_t size);

}  // namespace platform
