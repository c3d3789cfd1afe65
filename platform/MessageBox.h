#pragma once
#include "platform/Types.h"

namespace platform {

// A modal box with one OK button and no icon, owned by owner (0 for none); returns when the
// user dismisses it.
void ShowMessageBox(WindowHandle owner, const char* text, const char* caption);

}  // namespace platform
