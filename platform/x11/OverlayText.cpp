#include "platform/OverlayText.h"

#include <GL/glew.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform::x11backend {
namespace {

// The core font "fixed" as 256 GL bitmap display lists, made once per GL context and connection:
// lists belong to the context that made them, the font to the connection that loaded it. A
// context or connection may come back at the address of one that is gone, so an entry whose lists
// the current context does not know is made again, its font loaded afresh.
struct OverlayFont {
  GLXContext context = nullptr;
  Display* display = nullptr;
  XFontStruct* font = nullptr;
  GLuint listBase = 0;
};

std::mutex fontsLock;
std::vector<OverlayFont> fonts;

OverlayFont FontFor(GLXContext context, Display* display) {
  std::lock_guard lock(fontsLock);
  auto entry = std::find_if(fonts.begin(), fonts.end(), [&](const OverlayFont& f) {
    return f.context == context && f.display == display;
  });
  if (entry != fonts.end() && entry->listBase != 0 && glIsList(entry->listBase)) return *entry;
  if (entry == fonts.end()) entry = fonts.insert(fonts.end(), {context, display, nullptr, 0});
  // The connection may be another one at the same address: its font is not trusted. Only the
  // client's copy of the old one is freed, as its connection may be gone.
  if (entry->font) XFreeFontInfo(nullptr, entry->font, 1);
  entry->listBase = 0;
  entry->font = XLoadQueryFont(display, "fixed");
  if (!entry->font) return *entry;
  const GLuint base = glGenLists(256);
  if (base == 0) return *entry;
  glXUseXFont(entry->font->fid, 0, 256, static_cast<int>(base));
  entry->listBase = base;
  return *entry;
}

int CharWidth(const XFontStruct* font, unsigned char c) {
  if (font->per_char && c >= font->min_char_or_byte2 && c <= font->max_char_or_byte2) {
    return font->per_char[c - font->min_char_or_byte2].width;
  }
  return font->max_bounds.width;
}

int TextWidth(const XFontStruct* font, const char* text, int length) {
  int width = 0;
  for (int i = 0; i < length; ++i) width += CharWidth(font, static_cast<unsigned char>(text[i]));
  return width;
}

}  // namespace

void DrawOverlayText(DeviceContext, int right, int bottom, const char* text) {
  Display* display = glXGetCurrentDisplay();
  GLXContext context = glXGetCurrentContext();
  if (!display || !context || !text || right <= 0 || bottom <= 0) return;
  const OverlayFont font = FontFor(context, display);
  if (font.listBase == 0) return;
  const int length = static_cast<int>(std::strlen(text));

  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int height = viewport[3];
  GLint program = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);

  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_SCISSOR_BIT | GL_TRANSFORM_BIT |
               GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glUseProgram(0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // Window pixels with y growing downward from the top left corner, as the text rectangle is given.
  glOrtho(0, viewport[2], height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, height - bottom, right, bottom);

  // Opaque black behind the text's cells, then the glyphs in white on the first line's baseline.
  const int cellsWidth = TextWidth(font.font, text, length);
  const int lineHeight = font.font->ascent + font.font->descent;
  glColor3d(0.0, 0.0, 0.0);
  glRecti(0, 0, cellsWidth, lineHeight);
  glColor3d(1.0, 1.0, 1.0);
  // One glyph at a time from its own cell: some GLX libraries give blank glyphs (the space) no
  // advance of their own.
  int x = 0;
  for (int i = 0; i < length && x < right; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    glRasterPos2i(x, font.font->ascent);
    glCallList(font.listBase + c);
    x += CharWidth(font.font, c);
  }

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
  glUseProgram(static_cast<GLuint>(program));
}

}  // namespace platform::x11backend
