#pragma once
// Reads one built-in shader text (ids 110 to 114) in place, in the shape glShaderSource takes:
// `count` strings at `strings`, each NUL-terminated, no length array.

class ShaderSource {
 public:
  explicit ShaderSource(int id);
  ~ShaderSource();
  ShaderSource(const ShaderSource&) = delete;
  ShaderSource& operator=(const ShaderSource&) = delete;

  bool IsLoaded() const { return count != -1; }

  // A one-element heap array pointing at the program's own text, which is never copied or freed.
  const char** strings = nullptr;
  // 1 when the text was found, -1 when not.
  int count = -1;
};
