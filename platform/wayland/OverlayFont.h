#pragma once
// The frame-rate text on Wayland, where no X core font is at hand: a small bitmap font of the
// program's own (the characters the frame-rate line uses), drawn through OpenGL bitmaps in cells
// the size of the X11 build's "fixed" font (6 x 13), white on black, from the top left corner.
// On a scaled output every pixel of the font is drawn scale x scale, so the text keeps its size
// to the eye.
namespace platform::wayland {

void DrawOverlayText(int scale, int right, int bottom, const char* text);

// The glyph's 7 rows of 5 pixels, top row first, bit 4 the leftmost; nullptr for a character the
// font does not have (drawn as an empty cell).
const unsigned char* GlyphRows(char c);

}  // namespace platform::wayland
