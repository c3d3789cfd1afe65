// The frame-rate text on Win32: GDI cannot draw over a double-buffered OpenGL window (its text
// ends up under the picture, or flickers), so the device context's GDI font becomes a GL bitmap
// font, drawn into the frame before the swap like every other part of it.
#include "platform/OverlayText.h"

#include <GL/glew.h>
#include <windows.h>

#include "platform/GlBitmapText.h"

namespace platform {
namespace {

// The lists belong to the context that made them; one saver window, one render context.
struct OverlayFont {
  HGLRC context = nullptr;
  GlBitmapFont lists;
};
OverlayFont font;

}  // namespace

void PrepareOverlayText(DeviceContext dc) {
  HDC hdc = static_cast<HDC>(dc);
  const HGLRC context = wglGetCurrentContext();
  if (!hdc || !context || font.context == context) return;
  font = OverlayFont{};
  TEXTMETRICA metrics{};
  INT widths[256] = {};
  if (!GetTextMetricsA(hdc, &metrics) || !GetCharWidth32A(hdc, 0, 255, widths)) return;
  const GLuint base = glGenLists(256);
  if (base == 0) return;
  // Some drivers fail the first call and make the lists at the second.
  if (!wglUseFontBitmapsA(hdc, 0, 256, base) && !wglUseFontBitmapsA(hdc, 0, 256, base)) {
    glDeleteLists(base, 256);
    return;
  }
  font.context = context;
  font.lists.listBase = base;
  font.lists.ascent = metrics.tmAscent;
  font.lists.lineHeight = metrics.tmHeight;
  for (int c = 0; c < 256; ++c) font.lists.widths[c] = widths[c];
}

void DrawOverlayText(DeviceContext, int right, int bottom, const char* text) {
  if (font.context == nullptr || font.context != wglGetCurrentContext()) return;
  DrawGlBitmapText(font.lists, right, bottom, text);
}

}  // namespace platform
