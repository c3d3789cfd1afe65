// The five built-in shader texts of the X11 build and the reader that hands them to the
// compiler.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Resources.h"
#include "platform/linux/ShaderResources.h"
#include "render/ShaderSource.h"

extern "C" {
extern const unsigned char ShaderWrinklesText[], ShaderScaleText[], ShaderEyesText[],
    ShaderHornsText[], ShaderVertexText[];
extern const std::size_t ShaderWrinklesText_size, ShaderScaleText_size, ShaderEyesText_size,
    ShaderHornsText_size, ShaderVertexText_size;
}

namespace {

TEST(ShaderResources, EachIdHasItsTextEndingInItsOnlyNulWithCrLfLines) {
  const struct {
    int id;
    const unsigned char* bytes;
    std::size_t size;
    const char* role;
  } texts[] = {
      {110, ShaderWrinklesText, ShaderWrinklesText_size, "Fragment shader for surface 1, Wrinkles"},
      {111, ShaderScaleText, ShaderScaleText_size, "Fragment shader for surface 0, Scale"},
      {112, ShaderEyesText, ShaderEyesText_size, "Fragment shader for surface 2, Eyes"},
      {113, ShaderHornsText, ShaderHornsText_size, "Fragment shader for surface 3, Horns"},
      {114, ShaderVertexText, ShaderVertexText_size, "Vertex shader: the ribbon transform"},
  };
  for (const auto& t : texts) {
    SCOPED_TRACE(t.id);
    const char* text = platform::FindShaderText(t.id);
    ASSERT_EQ(text, reinterpret_cast<const char*>(t.bytes));
    EXPECT_EQ(std::strlen(text), t.size);  // the first NUL is the one after the text
    EXPECT_EQ(t.bytes[t.size], 0);
    const std::string s(text, t.size);
    EXPECT_EQ(s.rfind("/*", 0), 0u) << "begins with its comment block";
    EXPECT_NE(s.find(t.role), std::string::npos);
    EXPECT_EQ(s.find("#version"), std::string::npos);
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\n') {
        ASSERT_TRUE(i > 0 && s[i - 1] == '\r') << "bare LF at " << i;
      }
    }
    EXPECT_EQ(s.substr(s.size() - 2), "\r\n");
  }
  EXPECT_EQ(platform::FindShaderText(109), nullptr);
  EXPECT_EQ(platform::FindShaderText(115), nullptr);
  EXPECT_EQ(platform::FindShaderText(-1), nullptr);
}

TEST(ShaderSource, ReadsTheTextInPlaceOrReportsItMissing) {
  {
    ShaderSource source(112);
    ASSERT_TRUE(source.IsLoaded());
    EXPECT_EQ(source.count, 1);
    ASSERT_NE(source.strings, nullptr);
    EXPECT_EQ(source.strings[0], platform::FindShaderText(112));  // not a copy
  }
  ShaderSource unknown(200);
  EXPECT_FALSE(unknown.IsLoaded());
  EXPECT_EQ(unknown.count, -1);
  EXPECT_EQ(unknown.strings, nullptr);

  // The test seam: a replaced text, a missing one, and back to the built-in texts.
  static const char replacement[] = "void main() {}";
  platform::ReplaceShaderText(111, replacement);
  platform::ReplaceShaderText(114, nullptr);
  {
    ShaderSource replaced(111), missing(114);
    ASSERT_TRUE(replaced.IsLoaded());
    EXPECT_EQ(replaced.strings[0], replacement);
    EXPECT_FALSE(missing.IsLoaded());
  }
  platform::RestoreShaderTexts();
  EXPECT_EQ(ShaderSource(114).strings[0], reinterpret_cast<const char*>(ShaderVertexText));
}

}  // namespace
