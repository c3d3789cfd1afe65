#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, as an unsigned 32-bit count that wraps after about
// 49.7 days. Callers subtract two readings in unsigned arithmetic.
std::uint32_t TickCount();

}  // namespace platform
