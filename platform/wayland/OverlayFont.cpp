#include "platform/wayland/OverlayFont.h"

#include <GL/glew.h>

#include "platform/GlBitmapText.h"

namespace platform::wayland {
namespace {

constexpr int CellWidth = 6;
constexpr int Ascent = 10;
constexpr int LineHeight = 13;

struct Glyph {
  char c;
  unsigned char rows[7];
};

// Five by seven, in the style of a terminal's fixed font.
constexpr Glyph Glyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
};

}  // namespace

const unsigned char* GlyphRows(char c) {
  for (const Glyph& g : Glyphs)
    if (g.c == c) return g.rows;
  return nullptr;
}

namespace {

constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;
constexpr int MaxScale = 8;

// The glyphs as 256 display lists in the shape every platform's text drawing takes, each pixel
// enlarged to scale x scale, made once per context and scale: lists belong to the context that
// made them.
GlBitmapFont FontForCurrentContext(int scale) {
  scale = scale < 1 ? 1 : scale > MaxScale ? MaxScale : scale;
  static GlBitmapFont fonts[MaxScale + 1];
  GlBitmapFont& font = fonts[scale];
  if (font.listBase != 0 && glIsList(font.listBase)) return font;
  font = GlBitmapFont{};
  const GLuint base = glGenLists(256);
  if (base == 0) return font;
  const int width = GlyphWidth * scale;
  const int height = GlyphHeight * scale;
  const int rowBytes = (width + 7) / 8;
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLubyte bits[((GlyphWidth * MaxScale + 7) / 8) * GlyphHeight * MaxScale];
  for (int c = 0; c < 256; ++c) {
    glNewList(base + static_cast<GLuint>(c), GL_COMPILE);
    if (const unsigned char* rows = GlyphRows(static_cast<char>(c))) {
      // glBitmap takes the bottom row first, each row's leftmost pixel in the byte's high bit.
      for (int y = 0; y < height; ++y) {
        const unsigned char row = rows[GlyphHeight - 1 - y / scale];
        GLubyte* out = bits + y * rowBytes;
        for (int b = 0; b < rowBytes; ++b) out[b] = 0;
        for (int x = 0; x < width; ++x)
          if (row & (0x10 >> (x / scale))) out[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
      }
      glBitmap(width, height, 0, 0, 0, 0, bits);
    }
    glEndList();
    font.widths[c] = CellWidth * scale;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  font.listBase = base;
  font.ascent = Ascent * scale;
  font.lineHeight = LineHeight * scale;
  return font;
}

}  // namespace

void DrawOverlayText(int scale, int right, int bottom, const char* text) {
  DrawGlBitmapText(FontForCurrentContext(scale), right, bottom, text);
}

}  // namespace platform::wayland
