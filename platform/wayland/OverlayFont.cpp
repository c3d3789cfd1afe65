#include "platform/wayland/OverlayFont.h"

#include <GL/glew.h>

#include <cstring>

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

void DrawOverlayText(DeviceContext, int right, int bottom, const char* text) {
  if (!text || right <= 0 || bottom <= 0) return;
  const int length = static_cast<int>(std::strlen(text));

  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int height = viewport[3];
  GLint program = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);

  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_SCISSOR_BIT | GL_TRANSFORM_BIT |
               GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glUseProgram(0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // Window pixels with y growing downward from the top left corner, as the rectangle is given.
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
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

  glColor3d(0.0, 0.0, 0.0);
  glRecti(0, 0, CellWidth * length, LineHeight);
  glColor3d(1.0, 1.0, 1.0);
  for (int i = 0; i < length && i * CellWidth < right; ++i) {
    const unsigned char* rows = GlyphRows(text[i]);
    if (rows == nullptr) continue;
    // glBitmap takes the bottom row first, each row's leftmost pixel in the byte's high bit.
    GLubyte bits[7];
    for (int r = 0; r < 7; ++r) bits[r] = static_cast<GLubyte>(rows[6 - r] << 3);
    glRasterPos2i(i * CellWidth, Ascent);
    glBitmap(5, 7, 0, 0, 0, 0, bits);
  }

  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
  glUseProgram(static_cast<GLuint>(program));
}

}  // namespace platform::wayland
