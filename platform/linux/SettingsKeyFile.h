#pragma once
// The text of a freedesktop-style key file as the Linux settings keep it, apart from the disk:
//
//   [Software\Korvantel\Velmora Screen Saver]
//   EnableFPS=0
//
// Lines end in LF or CR LF. A group header is a line "[name]" (blanks around it allowed); a
// value is the text after the first '=' of a "key=value" line in the group, kept exactly as
// written; lines starting with '#' are comments. A UTF-8 byte-order mark at the start is skipped
// and never written.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/SettingsBackend.h"

namespace platform {

// Fills the values named in values[0 .. count-1] from the lines of group in content; a later
// line wins. A value whose text and NUL do not fit in SettingRead::data is passed over, so what
// an earlier file gave stays. Values not found are left as they are.
void ApplyKeyFile(std::string_view content, std::string_view group, SettingRead* values,
                  std::size_t count);

// old rewritten with the given values (names and texts non-null): every line of ours in our
// group replaced, the missing ones added after the last line of the first such group (or in a
// new group at the end), everything else kept byte for byte.
std::string RewriteKeyFile(std::string_view old, std::string_view group, const SettingWrite* values,
                           std::size_t count);

}  // namespace platform
