#include "render/GlWingCanvas.h"

#include <GL/glew.h>

void GlWingCanvas::BeginTranslucent(double alpha) {
  glDisable(GL_CULL_FACE);
  // Left in force after the wings: the banner is blended with it too.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  glColor4d(1.0, 1.0, 1.0, alpha);
}

void GlWingCanvas::Begin(Strip strip) {
  glBegin(strip == Strip::Lines ? GL_LINE_STRIP : GL_QUAD_STRIP);
}

void GlWingCanvas::Vertex(const Vector3& v) { glVertex3d(v.x, v.y, v.z); }

void GlWingCanvas::End() { glEnd(); }

void GlWingCanvas::EndTranslucent() {
  glDisable(GL_BLEND);
  glEnable(GL_CULL_FACE);
}
