#include "platform/OverlayText.h"

#include <GL/glew.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/GlBitmapText.h"
#include "platform/x11/GlxBinding.h"

namespace platform::x11backend {
namespace {

// The core font "fixed" as 256 GL bitmap display lists, made once per GL context and connection:
// lists belong to the context that made them, the font to the connection that loaded it. A
// context or connection may come back at the address of one that is gone, so an entry whose lists
// the current context does not know is made again, its font loaded afresh.
struct OverlayFont {
  GlContext context = nullptr;
  Display* display = nullptr;
  XFontStruct* font = nullptr;
  GlBitmapFont lists;
};

std::mutex fontsLock;
std::vector<OverlayFont> fonts;

int CharWidth(const XFontStruct* font, unsigned char c) {
  if (font->per_char && c >= font->min_char_or_byte2 && c <= font->max_char_or_byte2) {
    return font->per_char[c - font->min_char_or_byte2].width;
  }
  return font->max_bounds.width;
}

GlBitmapFont FontFor(GlContext context, Display* display) {
  std::lock_guard lock(fontsLock);
  auto entry = std::find_if(fonts.begin(), fonts.end(), [&](const OverlayFont& f) {
    return f.context == context && f.display == display;
  });
  if (entry != fonts.end() && entry->lists.listBase != 0 && glIsList(entry->lists.listBase))
    return entry->lists;
  if (entry == fonts.end()) entry = fonts.insert(fonts.end(), OverlayFont{context, display, nullptr, {}});
  // The connection may be another one at the same address: its font is not trusted. Only the
  // client's copy of the old one is freed, as its connection may be gone.
  if (entry->font) XFreeFontInfo(nullptr, entry->font, 1);
  entry->lists = GlBitmapFont{};
  entry->font = XLoadQueryFont(display, "fixed");
  if (!entry->font) return entry->lists;
  const GLuint base = glGenLists(256);
  if (base == 0) return entry->lists;
  glx::UseXFont(entry->font->fid, 0, 256, base);
  entry->lists.listBase = base;
  entry->lists.ascent = entry->font->ascent;
  entry->lists.lineHeight = entry->font->ascent + entry->font->descent;
  for (int c = 0; c < 256; ++c)
    entry->lists.widths[c] = CharWidth(entry->font, static_cast<unsigned char>(c));
  return entry->lists;
}

}  // namespace

void DrawOverlayText(DeviceContext, int right, int bottom, const char* text) {
  Display* display = glx::CurrentDisplay();
  const GlContext context = glx::CurrentContext();
  if (!display || !context) return;
  DrawGlBitmapText(FontFor(context, display), right, bottom, text);
}

}  // namespace platform::x11backend
