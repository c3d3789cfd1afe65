#include "platform/OverlayText.h"

#include <windows.h>

namespace platform {

// GDI text on the window's device context: white on the context's opaque black background,
// left and top aligned, clipped to the rectangle, no word breaking.
void DrawOverlayText(DeviceContext dc, int right, int bottom, const char* text) {
  HDC hdc = static_cast<HDC>(dc);
  RECT rect;
  SetRect(&rect, 0, 0, right, bottom);
  SetTextColor(hdc, RGB(255, 255, 255));
  SetBkColor(hdc, RGB(0, 0, 0));
  DrawTextA(hdc, text, -1, &rect, 0);
}

}  // namespace platform
