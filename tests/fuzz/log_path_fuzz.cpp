// The log's path from a module path: by either rule it is the module's own folder, ends in
// "log", is its own log path again, and stays within the module path's length plus ".log".
#include <string>
#include <string_view>

#include "FuzzTarget.h"
#include "base/AppLog.h"

VELMORA_FUZZ_TARGET(log_path) {
  const std::string_view module(reinterpret_cast<const char*>(data), size);

  const std::string byExtension = LogPathReplacingExtension(module);
  if (module.empty()) {
    FUZZ_CHECK(byExtension.empty());
  } else {
    FUZZ_CHECK(byExtension.ends_with(".log"));
    FUZZ_CHECK(byExtension.size() <= module.size() + 4);
    // The folder, up to the last slash, is the module's; the file name keeps what comes before
    // its extension and never loses a leading dot.
    const std::size_t slash = module.find_last_of('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    FUZZ_CHECK(byExtension.compare(0, nameStart, module.substr(0, nameStart)) == 0);
    FUZZ_CHECK(byExtension.find('/', nameStart) == std::string::npos);
    FUZZ_CHECK(byExtension.size() >= nameStart + 4 + (nameStart < module.size() &&
                                                       module[nameStart] == '.'));
    const std::string_view stem(byExtension.data(), byExtension.size() - 4);
    FUZZ_CHECK(module.starts_with(stem));
    // A log named ".log" alone is a hidden name, not an extension, so only a named one is its
    // own log path.
    if (stem.size() > nameStart) FUZZ_CHECK(LogPathReplacingExtension(byExtension) == byExtension);
  }

  const std::string lastThree = LogPathReplacingLastThree(module);
  if (module.size() < 3) {
    FUZZ_CHECK(lastThree.empty());
  } else {
    FUZZ_CHECK(lastThree.size() == module.size());
    FUZZ_CHECK(lastThree.compare(0, module.size() - 3, module.substr(0, module.size() - 3)) == 0);
    FUZZ_CHECK(lastThree.ends_with("log"));
    FUZZ_CHECK(LogPathReplacingLastThree(lastThree) == lastThree);
  }
}
