#pragma once
// Text drawn with a GL bitmap font: one display list per character code, made from a system font
// by the platform (glXUseXFont, wglUseFontBitmaps), drawn white on an opaque black box.

namespace platform {

struct GlBitmapFont {
  unsigned listBase = 0;  // the list of character code 0; 0 when there is no font
  int ascent = 0;         // pixels from the line's top to the baseline
  int lineHeight = 0;     // pixels of one line, ascent and descent
  int widths[256] = {};   // each character's advance in pixels
};

// Draws text from the top left corner of the viewport, white on black cells, clipped to the
// rectangle (0, 0)-(right, bottom) in pixels from that corner. Needs the font's context current; leaves the GL
// state as it found it.
void DrawGlBitmapText(const GlBitmapFont& font, int right, int bottom, const char* text);

}  // namespace platform
