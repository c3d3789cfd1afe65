// The five shader texts, compiled in by resources/Resources.cmake, stand where Windows keeps its
// "Shaders" resources 110 to 114. Each array ends with one NUL, so it is a C string as it is.
#include "platform/linux/ShaderResources.h"

#include "platform/Resources.h"

extern "C" {
extern const unsigned char ShaderWrinklesText[];
extern const unsigned char ShaderScaleText[];
extern const unsigned char ShaderEyesText[];
extern const unsigned char ShaderHornsText[];
extern const unsigned char ShaderVertexText[];
}

namespace platform {
namespace {

constexpr int FirstShaderId = 110;
constexpr int ShaderIdCount = 5;

const unsigned char* const embedded[ShaderIdCount] = {
    ShaderWrinklesText,  // 110
    ShaderScaleText,     // 111
    ShaderEyesText,      // 112
    ShaderHornsText,     // 113
    ShaderVertexText,    // 114
};

struct Override {
  bool active = false;
  const char* text = nullptr;
};
Override overrides[ShaderIdCount];

bool Known(int id) { return id >= FirstShaderId && id < FirstShaderId + ShaderIdCount; }

}  // namespace

const char* FindShaderText(int id) {
  if (!Known(id)) return nullptr;
  const Override& o = overrides[id - FirstShaderId];
  if (o.active) return o.text;
  return reinterpret_cast<const char*>(embedded[id - FirstShaderId]);
}

void ReplaceShaderText(int id, const char* text) {
  if (Known(id)) overrides[id - FirstShaderId] = {true, text};
}

void RestoreShaderTexts() {
  for (Override& o : overrides) o = {};
}

}  // namespace platform
