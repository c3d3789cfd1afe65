#pragma once
// The AC line status as the kernel reports it under /sys/class/power_supply.
#include <cstdint>
#include <string>

namespace platform {

// 1 when a mains supply is online, 0 when mains supplies exist and none is, 255 when there is no
// mains supply to ask. folder is the class folder (a test points it at a tree of its own).
std::uint8_t ReadAcLineStatus(const std::string& folder = "/sys/class/power_supply");

}  // namespace platform
