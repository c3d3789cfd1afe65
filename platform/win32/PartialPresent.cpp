#include "platform/PartialPresent.h"

#include <GL/glew.h>

#include "platform/GlSurfaceFaults.h"

// WGL has no way to show part of the back buffer and keep it: frames here are always whole.
namespace platform {

bool PartialPresentAvailable(DeviceContext) { return false; }

const char* RendererName() {
  const GLubyte* name = glGetString(GL_RENDERER);
  return name != nullptr ? reinterpret_cast<const char*>(name) : "";
}

PartialPresentState TakePartialPresentState(DeviceContext) { return {}; }

void PresentRect(DeviceContext, int, int, int, int) {}


}  // namespace platform
