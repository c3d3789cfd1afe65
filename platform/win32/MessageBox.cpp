#include "platform/MessageBox.h"

#include <windows.h>

namespace platform {

void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) {
  MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, 0);
}

}  // namespace platform
