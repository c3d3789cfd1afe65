#include "platform/linux/PowerSupply.h"

#include <filesystem>
#include <fstream>

namespace platform {

std::uint8_t ReadAcLineStatus(const std::string& folder) {
  // Polled once a second from the event loop: nothing here may throw. A folder that cannot be
  // read to its end may hide the supply that is online, so it answers "unknown".
  std::error_code error;
  bool anyMains = false;
  std::filesystem::directory_iterator entry(folder, error);
  if (error) return 255;
  // On a failed step the iterator becomes the end and error says why.
  for (const std::filesystem::directory_iterator end; entry != end; entry.increment(error)) {
    std::ifstream type(entry->path() / "type");
    std::string word;
    if (!(type >> word) || word != "Mains") continue;
    std::ifstream online(entry->path() / "online");
    int value = 0;
    if (!(online >> value)) continue;
    anyMains = true;
    if (value == 1) return 1;
  }
  return error ? 255 : anyMains ? 0 : 255;
}

}  // namespace platform
