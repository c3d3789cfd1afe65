// A stored setting's text: the leading decimal integer, read from exactly the bytes given and
// saturated at the 32-bit limits, as the C library reads a decimal from the same text.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "FuzzTarget.h"
#include "base/SettingsStore.h"

VELMORA_FUZZ_TARGET(setting_value) {
  // A copy of exactly size bytes, so that a read past the end is caught.
  const std::unique_ptr<char[]> exact(new char[size ? size : 1]);
  for (std::size_t i = 0; i < size; ++i) exact[i] = static_cast<char>(data[i]);
  const std::int32_t value = ParseSettingValue(size ? exact.get() : nullptr, size);

  // The reference: strtoll over the text up to its first NUL, in the "C" locale every program
  // starts in, clamped to 32 bits.
  const std::string text(exact.get(), size);
  errno = 0;
  const long long wide = std::strtoll(text.c_str(), nullptr, 10);
  const long long clamped =
      wide < std::numeric_limits<std::int32_t>::min()   ? std::numeric_limits<std::int32_t>::min()
      : wide > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                        : wide;
  FUZZ_CHECK(value == clamped);
}
