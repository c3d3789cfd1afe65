#include "render/FrameDrawing.h"

#include <GL/glew.h>

// Stand-in until the creature is drawn: clears the frame.
void DrawFrame(const FrameTime&) { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
