#include "platform/x11/PowerSupply.h"

#include <filesystem>
#include <fstream>

namespace platform {

std::uint8_t ReadAcLineStatus(const std::string& folder) {
  std::error_code error;
  bool anyMains = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::ifstream type(entry.path() / "type");
    std::string word;
    if (!(type >> word) || word != "Mains") continue;
    std::ifstream online(entry.path() / "online");
    int value = 0;
    if (!(online >> value)) continue;
    anyMains = true;
    if (value == 1) return 1;
  }
  return anyMains ? 0 : 255;
}

}  // namespace platform
