#include "platform/GlBitmapText.h"

#include <GL/glew.h>

#include <cstring>

namespace platform {

void DrawGlBitmapText(const GlBitmapFont& font, int right, int bottom, const char* text) {
  if (font.listBase == 0 || !text || right <= 0 || bottom <= 0) return;
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
  // The scissor box is in window pixels, the text's rectangle in the viewport's.
  glScissor(viewport[0], viewport[1] + height - bottom, right, bottom);

  // Opaque black behind the text's cells, then the glyphs in white on the first line's baseline.
  int cellsWidth = 0;
  for (int i = 0; i < length; ++i) cellsWidth += font.widths[static_cast<unsigned char>(text[i])];
  glColor3d(0.0, 0.0, 0.0);
  glRecti(0, 0, cellsWidth, font.lineHeight);
  glColor3d(1.0, 1.0, 1.0);
  // One glyph at a time from its own cell: some libraries give blank glyphs (the space) no
  // advance of their own.
  int x = 0;
  for (int i = 0; i < length && x < right; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    glRasterPos2i(x, font.ascent);
    glCallList(font.listBase + c);
    x += font.widths[c];
  }

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
  glUseProgram(static_cast<GLuint>(program));
}

}  // namespace platform
