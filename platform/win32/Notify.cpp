#include "platform/Notify.h"

#include <windows.h>

namespace platform {

void NotifyWindow(WindowHandle window, unsigned message, std::uintptr_t wordParam) {
  // SendNotifyMessage to another thread's window queues it and returns at once.
  SendNotifyMessageA(reinterpret_cast<HWND>(window), message, wordParam, 0);
}

}  // namespace platform
