#include "render/ShaderSource.h"

#include "platform/Resources.h"

ShaderSource::ShaderSource(int id) {
  const char* text = platform::FindShaderText(id);
  if (text == nullptr) return;
  count = 1;
  strings = new const char*[1]{text};
}

ShaderSource::~ShaderSource() {
  if (count != -1) delete[] strings;
}
