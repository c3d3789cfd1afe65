#include "platform/OverlayText.h"

#include <GL/glew.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "platform/GlBitmapText.h"

namespace platform {
namespace {

// The core font "fixed" as 256 GL bitmap display lists, made once per GL context (lists belong
// to the context that made them).
struct OverlayFont {
  GLXContext context = nullptr;
  XFontStruct* font = nullptr;
  GlBitmapFont lists;
};

int CharWidth(const XFontStruct* font, unsigned char c) {
  if (font->per_char && c >= font->min_char_or_byte2 && c <= font->max_char_or_byte2) {
    return font->per_char[c - font->min_char_or_byte2].width;
  }
  return font->max_bounds.width;
}

OverlayFont& FontFor(GLXContext context, Display* display) {
  static OverlayFont cached;
  if (cached.context == context) return cached;
  cached.context = context;
  cached.lists.listBase = 0;
  if (!cached.font) cached.font = XLoadQueryFont(display, "fixed");
  if (!cached.font) return cached;
  const GLuint base = glGenLists(256);
  if (base == 0) return cached;
  glXUseXFont(cached.font->fid, 0, 256, static_cast<int>(base));
  cached.lists.listBase = base;
  cached.lists.ascent = cached.font->ascent;
  cached.lists.lineHeight = cached.font->ascent + cached.font->descent;
  for (int c = 0; c < 256; ++c)
    cached.lists.widths[c] = CharWidth(cached.font, static_cast<unsigned char>(c));
  return cached;
}

}  // namespace

void PrepareOverlayText(DeviceContext) {}  // the font is made on first use, per context

void DrawOverlayText(DeviceContext, int right, int bottom, const char* text) {
  Display* display = glXGetCurrentDisplay();
  GLXContext context = glXGetCurrentContext();
  if (!display || !context) return;
  DrawGlBitmapText(FontFor(context, display).lists, right, bottom, text);
}

}  // namespace platform
